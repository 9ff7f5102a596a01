#include "core/buffers.h"

namespace kelvaro {

unsigned char* pBuff = nullptr;
unsigned char* pText = nullptr;
unsigned char* pParam = nullptr;

void ResetBuffers() {
  pBuff = nullptr;
  pText = nullptr;
  pParam = nullptr;
}

}  // namespace kelvaro
