// Owns one GDI font; deleted in the destructor.
#pragma once
#include <windows.h>

class TFont {
 public:
  // Creates a font whose character height (not cell height) is pixelHeight.
  TFont(const char* face, int pixelHeight, BYTE charset);
  // The system's message font (the one message boxes use), at character height pixelHeight.
  explicit TFont(int pixelHeight);
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;

  // Null when creation failed.
  HFONT Handle() const { return font_; }

 private:
  HFONT font_ = nullptr;
};
