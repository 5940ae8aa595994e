#pragma once

#include <QString>
#include <vector>

namespace radevore::testing {

// One image drawn on a page, as `pdfimages -list` reports it.
struct PdfImage {
  int page = 0;
  int width = 0;   // pixels
  int height = 0;  // pixels
  int xPpi = 0;    // pixels per inch as drawn on the page
  int yPpi = 0;
  int object = 0;  // the PDF object holding the picture: the same number is the same picture
};

std::vector<PdfImage> pdfImages(const QString& path);

}  // namespace radevore::testing
