// Owns one GDI font; deleted in the destructor.
#pragma once
#include <windows.h>

class TFont {
 public:
  TFont() = default;
  // Creates a font whose character height (not cell height) is pixelHeight.
  TFont(const char* face, int pixelHeight, BYTE charset);
  ~TFont();
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  TFont(TFont&& other) noexcept;
  TFont& operator=(TFont&& other) noexcept;

  // Null when creation failed or after a move.
  HFONT Handle() const { return font_; }

 private:
  HFONT font_ = nullptr;
};
