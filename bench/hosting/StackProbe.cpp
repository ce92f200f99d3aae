// Calls a routine the way the simulator does and measures what it leaves on
// the stack. A callee-cleans routine removes its own arguments, so the stack
// pointer after the call equals the one before the arguments were pushed; a
// caller-cleans routine leaves them, and in the real host that is a crash.
// 
// int32_t CallMeasuringStack(void* routine, const uint32_t* words, int32_t count,
// double* floatResult, uint32_t* integerResult)
// (caller-cleans itself) pushes words[count-1] .. words[0], calls routine, and
// returns the stack pointer after the call minus the one before the pushes.
// floatResult, when not null, receives the x87 result of a routine returning
// a double.
//
// While the call is under way GaugeCallFrame holds the probe's frame, and
// the frame-handler chain (fs:0) and the FPU's control word it started with
// are kept beside it. A routine that faults never returns; the fault handler
// (bench/hosting/GaugeFaultsWindows.cpp) sends the thread to
// GaugeCallRecovery instead, which puts all of them back, as the call found
// them, and returns 0 to the probe's caller with no result stored: whatever
// the routine left on the stack, in the chain or in the FPU is dropped.

// The routine is written in assembly so that nothing between the measurement
// and the call can touch the stack pointer.
asm(
    "    .data\n"
    "    .globl _GaugeCallFrame\n"
    "_GaugeCallFrame:\n"
    "    .long 0\n"
    "_GaugeCallHandlers:\n"
    "    .long 0\n"
    "_GaugeCallControlWord:\n"
    "    .long 0\n"
    "    .text\n"
    "    .globl _CallMeasuringStack\n"
    "_CallMeasuringStack:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    movl %fs:0, %eax\n"
    "    movl %eax, _GaugeCallHandlers\n"
    "    fnstcw _GaugeCallControlWord\n"
    "    movl %ebp, _GaugeCallFrame\n"
    "    movl 8(%ebp), %ebx\n"
    "    movl 12(%ebp), %esi\n"
    "    movl 16(%ebp), %ecx\n"
    "    movl %esp, %edi\n"
    "1:\n"
    "    testl %ecx, %ecx\n"
    "    jz 2f\n"
    "    decl %ecx\n"
    "    pushl (%esi,%ecx,4)\n"
    "    jmp 1b\n"
    "2:\n"
    "    call *%ebx\n"
    "    movl $0, _GaugeCallFrame\n"
    "    movl %eax, %edx\n"
    "    movl %esp, %eax\n"
    "    subl %edi, %eax\n"
    "    movl %edi, %esp\n"
    "    movl 24(%ebp), %ecx\n"
    "    testl %ecx, %ecx\n"
    "    jz 3f\n"
    "    movl %edx, (%ecx)\n"
    "3:\n"
    "    movl 20(%ebp), %ecx\n"
    "    testl %ecx, %ecx\n"
    "    jz 4f\n"
    "    fstpl (%ecx)\n"
    "4:\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret\n"
    "    .globl _GaugeCallRecovery\n"
    "_GaugeCallRecovery:\n"
    "    cld\n"
    "    movl _GaugeCallFrame, %ebp\n"
    "    leal -12(%ebp), %esp\n"
    "    movl _GaugeCallHandlers, %eax\n"
    "    movl %eax, %fs:0\n"
    "    fninit\n"
    "    fldcw _GaugeCallControlWord\n"
    "    movl $0, _GaugeCallFrame\n"
    "    xorl %eax, %eax\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret\n");
