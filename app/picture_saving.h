// Saving a finished page's picture and adding it to the paper's PDF.
#pragma once
#include <cstdint>
#include "app/capture_steps.h"

namespace app {

// Saves the page's picture during the page's closing wait, which runs from
// `takenAt`, when the picture was taken, and which it does not lengthen;
// the PDF gets the page as soon as it is on disk. kStopped, after telling
// why, when the picture cannot be saved.
Step savePicture(Run* run, int32_t page, uint8_t* picture, uint32_t takenAt);

}  // namespace app
