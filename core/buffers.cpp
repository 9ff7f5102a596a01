#include "core/buffers.h"

namespace kelvaro {

unsigned char* pBuff = nullptr;
unsigned char* pText = nullptr;
unsigned char* pParam = nullptr;
unsigned long gTextSize = 0;
unsigned long gBuffSize = 0;

void ResetBuffers() {
  pBuff = nullptr;
  pText = nullptr;
  pParam = nullptr;
  gTextSize = 0;
  gBuffSize = 0;
}

}  // namespace kelvaro
