// The checks that decide whether a DVD-RW drive may be updated with the
// loaded image, each refusal with its message.
#pragma once

namespace kelvaro {

// Reads inquiry data and the information block and selects the definition
// row of the drive. 0, or the failing command's result after its message.
int ChkDrvFirm();

// Reads the drive information block into gRwInfo; sets gRwMode and gKernel.
int GetDrvInfRw();

// Compares drive and image: 0 go on, 1 the drive already has this firmware,
// -1 (or a command's failure) refused. With `full` 0 only the hardware and
// kernel-model checks run.
int ChkCurFirm(int full);

// Stops the disc and makes sure none is in the drive: 0 or -1.
int ChkDiscInsertion();

// After the switch to the kernel: 0 when the drive now runs its kernel.
int ChkKrnlMode();

// With the kernel part loaded: 1 when the drive already runs this kernel
// ("Need not to update the Kernel."), 0 otherwise, -1 when it does not answer.
int ChkKrnlVer();

}  // namespace kelvaro
