// Windows streams: the C runtime's shared open with the share flag for the code.
#include <share.h>

#include "platform/platform.h"

FILE* platformOpenShared(const char* path, const char* mode, int shareCode) {
  int flag;
  switch (shareCode) {
    case 0:
      flag = _SH_DENYRD;
      break;
    case 1:
      flag = _SH_DENYWR;
      break;
    case 2:
    case 3:
      flag = _SH_DENYNO;
      break;
    default:
      flag = shareCode;
      break;
  }
  return _fsopen(path, mode, flag);
}

FILE* platformOpenDiscard() {
  return fopen("NUL", "wb");
}
