// The long-lived buffers, taken once by the access layer's start-up and
// released at the end of the run.
#pragma once

namespace kelvaro {

extern unsigned char* pBuff;     // work buffer: inquiry data, ROM read-back, HEX parse
extern unsigned char* pText;     // firmware image
extern unsigned char* pParam;    // parameter block of the mode switches
extern unsigned long gTextSize;  // bytes of pText
extern unsigned long gBuffSize;  // bytes of pBuff

void ResetBuffers();

}  // namespace kelvaro
