#include "font.h"

#include <utility>

TFont::TFont(const char* face, int pixelHeight, BYTE charset) {
  LOGFONTA lf{};
  lf.lfHeight = -pixelHeight;  // negative: character height, without the internal leading
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = charset;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
  lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
  font_ = CreateFontIndirectA(&lf);
}

TFont::~TFont() {
  if (font_) DeleteObject(font_);
}

TFont::TFont(TFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}

TFont& TFont::operator=(TFont&& other) noexcept {
  if (this != &other) {
    if (font_) DeleteObject(font_);
    font_ = std::exchange(other.font_, nullptr);
  }
  return *this;
}
