/* Bounds of the constant area and the voice prompt inside it. The linker
   sorts .rdata$ sections by name: the start marker, every APP_CONST item
   (.rdata$pgn_m), then the end marker. */
        .section .rdata$pgn_a, "dr"
        .globl _kConstAreaStart
_kConstAreaStart:

        .section .rdata$pgn_m, "dr"
        .p2align 2
        /* A byte-set block: dimension count 1, element count, the bytes. */
        .globl _kVoicePrompt
_kVoicePrompt:
        .long 1
        .long 2f - 1f
1:      .incbin VOICE_PROMPT_FILE
2:

        .section .rdata$pgn_z, "dr"
        .globl _kConstAreaEnd
_kConstAreaEnd:
        .byte 0
