// Exports that exports_win.cpp defines; stubs_win.cpp skips these names.
#pragma once
#define ENGINE_REAL_PROBE ~, 1
#define ENGINE_GENERIC_EngineGeneric ENGINE_REAL_PROBE

// ENGINE_PICK(name)(a, b) gives a for the names below and b for the rest;
// ENGINE_PICK_TYPED also gives b when the list has no C type for the name.
#define ENGINE_CAT_(a, b) a##b
#define ENGINE_CAT(a, b) ENGINE_CAT_(a, b)
#define ENGINE_CHECK_N(x, n, ...) n
#define ENGINE_CHECK(...) ENGINE_CHECK_N(__VA_ARGS__, 0, )
#define ENGINE_IS_REAL(name) ENGINE_CHECK(ENGINE_CAT(ENGINE_REAL_, name))
#define ENGINE_IS_GENERIC(type) ENGINE_CHECK(ENGINE_CAT(ENGINE_GENERIC_, type))
#define ENGINE_IF_0(yes, no) no
#define ENGINE_IF_1(yes, no) yes
#define ENGINE_AND_NOT_1(x) 0
#define ENGINE_AND_NOT_0(x) x
#define ENGINE_PICK(name) ENGINE_CAT(ENGINE_IF_, ENGINE_IS_REAL(name))
#define ENGINE_TYPED_(generic, real) ENGINE_CAT(ENGINE_AND_NOT_, generic)(real)
#define ENGINE_PICK_TYPED(type, name) \
  ENGINE_CAT(ENGINE_IF_, ENGINE_TYPED_(ENGINE_IS_GENERIC(type), ENGINE_IS_REAL(name)))
#define ENGINE_SKIP(r, n, a)
#define ENGINE_REAL_jsToInt ENGINE_REAL_PROBE
#define ENGINE_REAL_jsToString ENGINE_REAL_PROBE
#define ENGINE_REAL_jsToTempString ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeCanGoBack ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeCanGoForward ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeCopy ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeCreateWebWindow ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeCut ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeDelete ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeDestroyWebWindow ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorCopy ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorCut ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorDelete ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorPaste ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorRedo ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorSelectAll ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorUnSelect ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeEditorUndo ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetHeight ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetNavigateIndex ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetString ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetStringW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetTitle ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetTitleW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetURL ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetUserKeyValue ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetViewDC ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetWidth ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGetWindowHandle ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGlobalExec ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGoBack ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGoForward ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGoToIndex ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeGoToOffset ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeIsDocumentReady ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeIsInitialize ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeIsLoading ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeIsLoadingCompleted ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeIsLoadingFailed ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeIsLoadingSucceeded ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeLoadHTML ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeLoadHTMLW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeLoadURL ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeLoadURLW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeLoadW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeMoveWindow ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeNavigateAtIndex ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnAlertBox ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnConfirmBox ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnConsole ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnCreateView ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnDocumentReady2 ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnDownload ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnLoadUrlBegin ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnLoadUrlEnd ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnLoadingFinish ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnMouseOverUrlChanged ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnNavigation ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnPaintUpdated ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnPromptBox ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnTitleChanged ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnURLChanged2 ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnWindowClosing ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeOnWindowDestroy ENGINE_REAL_PROBE
#define ENGINE_REAL_wkePaste ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeReload ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeResizeWindow ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeRunJS ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeRunJSW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSelectAll ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetContextMenuEnabled ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetCookieEnabled ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetCookieJarPath ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetCspCheckEnable ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetDeviceParameter ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetLocalStorageFullPath ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetNavigationToNewWindowEnable ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetNpapiPluginsEnabled ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetString ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetStringW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetTransparent ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetUserAgent ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetUserAgentW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetUserKeyValue ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetWindowTitle ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeSetWindowTitleW ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeShowWindow ENGINE_REAL_PROBE
#define ENGINE_REAL_wkeStopLoading ENGINE_REAL_PROBE
