// Constant texts, placed between the constant area's bounds (see
// const_area.h) so the runtime never frees them.
#include "app/constants.h"
#include "app/const_area.h"

namespace app {

APP_CONST const char kEmptyText[] = "";
APP_CONST const char kQuoteName[] = "#引号";
APP_CONST const char kQuote[] = "\"";
APP_CONST const char kPicFolder[] = "\\pic\\";
APP_CONST const char kBackslash[] = "\\";
APP_CONST const char kBmpSuffix[] = ".bmp";
APP_CONST const char kPdfSuffix[] = ".pdf";
APP_CONST const char kPartSuffix[] = ".part";
APP_CONST const char kOpenParen[] = "(";
APP_CONST const char kCloseParen[] = ")";
APP_CONST const char kDefaultPdfTitle[] = "试卷";

APP_CONST const char kParamMaxTouchPoints[] = "navigator.maxTouchPoints";
APP_CONST const char kParamPlatform[] = "navigator.platform";
APP_CONST const char kPlatformName[] = "QD-Mini";
APP_CONST const char kParamHardwareConcurrency[] = "navigator.hardwareConcurrency";
APP_CONST const char kParamScreenWidth[] = "screen.width";
APP_CONST const char kParamScreenHeight[] = "screen.height";
APP_CONST const char kParamAvailWidth[] = "screen.availWidth";
APP_CONST const char kParamAvailHeight[] = "screen.availHeight";

APP_CONST const char kCaptionRunning[] = "开工";
APP_CONST const char kCaptionIdle[] = "采集";
APP_CONST const char kStartMessage[] =
    "开始抓取，鼠标将自动移出软件界面，并采集试卷！请不要做任何操作，直至听到语音提示";
APP_CONST const char kStartTitle[] = "操作提示";
APP_CONST const char kZeroPagesMessage[] = "获取页数为0，请到封面页再获取！";
APP_CONST const char kZeroPagesTitle[] = "提示";
APP_CONST const char kDoneMessage[] = "下载完成！";
APP_CONST const char kDoneTitle[] = "提示：";
APP_CONST const char kPageRangeHead[] = "获取页数为";
APP_CONST const char kPageRangeTail[] = "，不在1到1000之间，请到封面页再获取！";
APP_CONST const char kSaveFailedTitle[] = "保存失败";
APP_CONST const char kFolderFailedMessage[] = "无法创建保存图片的文件夹：";
APP_CONST const char kSaveFailedMessage[] = "无法保存图片：";
APP_CONST const char kCaptureFailedMessage[] = "截图失败，未能保存：";
APP_CONST const char kCheckDiskHint[] = "\r\n请检查磁盘空间和 pic 文件夹的写入权限。";
APP_CONST const char kPdfFailedMessage[] = "图片已保存，但无法保存整份试卷的 PDF：";
APP_CONST const char kZIndex[] = "z-index: ";
APP_CONST const char kSemicolon[] = ";";
APP_CONST const char kTitleOpen[] = "<title>";
APP_CONST const char kLessThan[] = "<";
APP_CONST const char kProgressHead[] = " - 采集 ";
APP_CONST const char kSlash[] = "/";
APP_CONST const char kStuckHead[] = "试卷翻页没有反应，采集停在第 ";
APP_CONST const char kStuckTail[] = " 张图片。";
APP_CONST const char kStuckKept[] = "此前的图片和 PDF 已保存。";
APP_CONST const char kUnfinishedHead[] = "以下图片保存时页面仍未加载完成：";
APP_CONST const char kListSeparator[] = "、";
APP_CONST const char kLineBreak[] = "\r\n";
APP_CONST const char kPdfKeptHead[] = "无法替换原有的 PDF（可能正被其他程序打开）：";
APP_CONST const char kPdfKeptMiddle[] = "\r\n新的 PDF 已另存为：";
// Pictures count when they take room in the view: a loading picture without
// a size of its own takes none, and neither does a hidden one.
APP_CONST const char kPageStateScript[] =
    "var d=document,s=d.documentElement.outerHTML,h=0,n=0,i,r,m=d.images;"
    "for(i=0;i<s.length;i++)h=(h*31+s.charCodeAt(i))|0;"
    "for(i=0;i<m.length;i++){r=m[i].getBoundingClientRect();"
    "if(!m[i].complete&&r.width>0&&r.height>0&&r.bottom>0&&r.right>0&&r.top<innerHeight&&"
    "r.left<innerWidth)n++}"
    "return n+' '+s.length+'.'+h";

APP_CONST const char kOverlay1[] = "#qr-body > div.page-read-bg";
APP_CONST const char kOverlay2[] = "#qr-body > div.page-read-wrapper > div.page-read-top";
APP_CONST const char kOverlay3[] =
    "#qr-body > div.page-read-wrapper > content > div > div.page-shadow";
APP_CONST const char kOverlay4[] =
    "#qr-body > div.page-read-wrapper > content > div > div.bg-shadow";
APP_CONST const char kOverlay5[] =
    "#qr-body > div.page-read-wrapper > div.page-read-bottom > div.bottom-wrapper";
APP_CONST const char* const kOverlaySelectors[kOverlayCount] = {kOverlay1, kOverlay2, kOverlay3,
                                                                kOverlay4, kOverlay5};
APP_CONST const char kPageTurnSelector[] =
    "#qr-body > div.page-read-wrapper > div.page-read-bottom > div.flip-page-options > "
    "div:nth-child(3) > div:nth-child(1)";

}  // namespace app
