#pragma once
// DecoratePhoto: lays the marks on a vehicle's first photo with ImageMagick
// and answers the name under which the photo is to be published.
#include <string>

namespace tarvelon {

class RunState;

std::string DecoratePhoto(RunState& state, const std::string& photoName, const std::string& siteText,
                          const std::string& atpText, const std::string& zText, const std::string& saleStatus,
                          std::string discountText, const std::string& dwaText);

// A real ImageMagick "convert" on PATH ("-version" says "Version: ImageMagick").
bool ImageMagickPresent();

}  // namespace tarvelon
