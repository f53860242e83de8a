/* The application's code area: one 8-byte jump stub per event routine, in
   the order of app/routines.h. Event tables store stub offsets. */
        .text
        .p2align 3
        .globl _kAppCode
_kAppCode:
        .macro stub target
        jmp \target
        .p2align 3, 0xCC
        .endm
        stub _OnFirstActivation
        stub _OnWindowResized
        stub _OnWindowMoved
        stub _OnLayoutTimer
        stub _OnHomeButton
        stub _OnCaptureButton
