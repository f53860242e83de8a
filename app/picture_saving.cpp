#include "app/picture_saving.h"
#include <atomic>
#include <thread>
#include "app/command_frame.h"
#include "app/constants.h"
#include "app/paper_pdf.h"
#include "runtime/core_commands.h"

namespace app {

namespace {

// The wait after a page's picture is taken, from the moment it is taken;
// while the picture is written the window is served every kSavePollMs.
constexpr int32_t kAfterPageMs = 1111, kSavePollMs = 10;

bool writePicture(const char* file, uint8_t* picture) {
  return callCore(core::WriteToFile, textArg(file), binArg(picture)).i != 0;
}

// A picture written on a thread of its own while the page's closing wait
// runs: the write and its flush would keep the window from answering.
struct Saving {
  char* file;
  uint8_t* picture;   // the caller's; kept alive until finished
  std::atomic<bool> done{false};
  bool saved = false;
  std::thread writer;
};

void startSaving(Saving* s) {
  if (!s->picture) {
    s->done = true;
    return;
  }
  try {
    s->writer = std::thread([s] {
      s->saved = writePicture(s->file, s->picture);
      s->done = true;
    });
  } catch (const std::exception&) {   // no thread to spare: written here
    s->saved = writePicture(s->file, s->picture);
    s->done = true;
  }
}

// Ends the save; kStopped when the picture cannot be saved. An empty
// picture would make an empty .bmp; a failed write would leave the page
// missing while the run went on to report success. With the window gone
// there is nobody to tell.
Step finishSaving(Run* run, Saving* s, bool windowGone) {
  if (s->writer.joinable()) s->writer.join();
  bool saved = s->saved;
  // The run stops on a picture it cannot save, so the PDF's part goes at
  // once, before any box; it may hold the very room the picture needs.
  if (!saved && !windowGone && DropPaperPdf(run->pdf) && s->picture)
    saved = writePicture(s->file, s->picture);
  if (saved) AddPaperPage(run->pdf, s->picture);
  if (windowGone) return Step::kWindowClosed;
  if (saved) return Step::kGoOn;
  const bool stands = s->picture ? tellFailure({kSaveFailedMessage, s->file, kCheckDiskHint})
                                 : tellFailure({kCaptureFailedMessage, s->file});
  return stands ? Step::kStopped : Step::kWindowClosed;
}

}  // namespace

Step savePicture(Run* run, int32_t page, uint8_t* picture, uint32_t takenAt) {
  Saving saving;
  saving.file = PictureFile(run->folder, page);
  saving.picture = picture;
  startSaving(&saving);
  const uint32_t start = takenAt;
  bool stands = true;
  while (stands && !saving.done && ticks() - start < kAfterPageMs) stands = wait(kSavePollMs);
  Step step = finishSaving(run, &saving, !stands);
  release(saving.file);
  const uint32_t spent = ticks() - start;
  if (step == Step::kGoOn && spent < uint32_t(kAfterPageMs) && !wait(kAfterPageMs - spent))
    step = Step::kWindowClosed;
  return step;
}

}  // namespace app
