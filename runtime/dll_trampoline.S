// CallDllCommandEntry: the caller has pushed the DLL function's arguments
// and calls here with the command number in EAX. One bounds check, one
// table load and an indirect jump; the function then returns straight to
// the caller. Table entries start at the resolver stub.
        .text
        .globl  _CallDllCommandEntry
_CallDllCommandEntry:
        incl    _paginetTextEpoch       // the function may write into texts
        cmpl    _paginetDllCount, %eax
        jae     1f
        movl    _paginetDllTargets, %ecx
        jmp     *(%ecx,%eax,4)
1:      pushl   %eax
        call    _paginetDllBadNumber

// First call of a command: resolve it (which stores the address in the
// table for next time), then jump to it with the stack as the caller left it.
        .globl  _paginetDllResolveStub
_paginetDllResolveStub:
        pushl   %eax
        call    _paginetDllResolve
        addl    $4, %esp
        jmp     *%eax
