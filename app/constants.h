// The application's constants: ids from the form description, and the
// texts, selectors and voice prompt of the constant area.
#pragma once
#include <cstdint>
#include "data/startup_form_ids.h"

namespace app {

using namespace form;

// Property numbers.
constexpr int32_t kPropLeft = 0, kPropTop = 1, kPropWidth = 2, kPropHeight = 3,
                  kPropVisible = 5;
constexpr int32_t kPropEditContent = 8, kPropTimerPeriod = 8, kPropButtonCaption = 10,
                  kPropBrowserAddress = 8, kPropBrowserStorage = 12, kPropWindowState = 18,
                  kPropWindowCaption = 8;

extern const char kEmptyText[];
extern const char kQuoteName[];     // "#引号"
extern const char kQuote[];
extern const char kPicFolder[];     // "\pic\"
extern const char kBackslash[];
extern const char kBmpSuffix[];
extern const char kPdfSuffix[];       // ".pdf"
extern const char kPartSuffix[];      // ".part": a file being written
extern const char kOpenParen[], kCloseParen[];   // "(" and ")"
extern const char kDefaultPdfTitle[]; // the PDF's name for a page without a title

extern const char kParamMaxTouchPoints[], kParamPlatform[], kPlatformName[],
    kParamHardwareConcurrency[], kParamScreenWidth[], kParamScreenHeight[],
    kParamAvailWidth[], kParamAvailHeight[];

extern const char kCaptionRunning[], kCaptionIdle[];
extern const char kStartMessage[], kStartTitle[];
extern const char kZeroPagesMessage[], kZeroPagesTitle[];
extern const char kDoneMessage[], kDoneTitle[];

// The most pages a run accepts; kPageRangeTail names the same bound. A page
// count beyond it cannot be a paper's (2^31 - 1 pages would take two
// centuries at 3 s each) and is refused, as is a negative one.
constexpr int32_t kMaxPageCount = 1000;
extern const char kPageRangeHead[], kPageRangeTail[];
// A run that cannot save tells the user why and stops.
extern const char kSaveFailedTitle[], kFolderFailedMessage[], kSaveFailedMessage[],
    kCaptureFailedMessage[], kCheckDiskHint[];
// The paper's PDF could not be saved; the pictures are.
extern const char kPdfFailedMessage[];
extern const char kZIndex[], kSemicolon[], kTitleOpen[], kLessThan[];

// The caption during a run: the program's own, then " - 采集 <picture>/<count>".
extern const char kProgressHead[], kSlash[];
// A run that did not get every page finished says which: the picture at
// which the paper stopped turning, and the pictures saved before their page
// had finished. The PDF kept beside an earlier one it could not replace.
extern const char kStuckHead[], kStuckTail[], kStuckKept[], kUnfinishedHead[], kListSeparator[], kLineBreak[];
extern const char kPdfKeptHead[], kPdfKeptMiddle[];
// Run in the page: "<pictures in view still loading> <signature of the
// document>", the signature changing with its markup and picture addresses.
extern const char kPageStateScript[];

constexpr int kOverlayCount = 5;
extern const char* const kOverlaySelectors[kOverlayCount];
extern const char kPageTurnSelector[];

}  // namespace app
