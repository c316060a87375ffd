#include "font.h"

#include "emptytext.h"

TFont::TFont(const char* face, int pixelHeight, BYTE charset) {
  LOGFONTA lf{};
  lf.lfHeight = -pixelHeight;  // negative: character height, without the internal leading
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynA(lf.lfFaceName, OrEmpty(face), LF_FACESIZE);
  font_ = CreateFontIndirectA(&lf);
}

TFont::TFont(int pixelHeight) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;
  metrics.lfMessageFont.lfHeight = -pixelHeight;
  metrics.lfMessageFont.lfWidth = 0;
  font_ = CreateFontIndirectW(&metrics.lfMessageFont);
}

TFont::~TFont() {
  if (font_) DeleteObject(font_);
}
