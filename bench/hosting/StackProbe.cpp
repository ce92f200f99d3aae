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

// The routine is written in assembly so that nothing between the measurement
// and the call can touch the stack pointer.
asm(
    "    .text\n"
    "    .globl _CallMeasuringStack\n"
    "_CallMeasuringStack:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
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
    "    ret\n");
