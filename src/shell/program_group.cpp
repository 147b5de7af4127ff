// Program Manager group registration over DDEML. One call creates and releases
// everything it uses (command buffer, DDE instance, string handle,
// conversation) in reverse order of creation; nothing outlives it.
#include "shell/program_group.h"

#include <cstring>

namespace {

// DDEML instance identifier; DdeInitializeA needs 0 on entry, and every call
// leaves it 0 again.
DWORD ddeInstance;

constexpr const char ServiceName[] = "PROGMAN";  // both service and topic
constexpr const char GroupName[] = "Tarnivole";  // group and item name
constexpr const char ProgramFileName[] = "QVTX.EXE";

// One command at a time; the longest, an item command for a 260-byte directory
// in the quoted form, takes under 300 bytes.
constexpr SIZE_T CommandBufferSize = 2048;

// The group command may wait on a busy shell; the item command follows a
// group that exists by then.
constexpr DWORD GroupTimeoutMs = 10000;
constexpr DWORD ItemTimeoutMs = 1000;

// Sends the zero-terminated command as one execute transaction; the data
// handle is not application-owned, so the transaction takes it over.
bool executeCommand(HCONV conversation, char* command, DWORD timeoutMs) {
  HDDEDATA data =
      DdeCreateDataHandle(ddeInstance, reinterpret_cast<LPBYTE>(command),
                          static_cast<DWORD>(std::strlen(command) + 1), 0, nullptr, CF_TEXT, 0);
  DWORD result = 0;
  return DdeClientTransaction(reinterpret_cast<LPBYTE>(data), 0xFFFFFFFF, conversation, nullptr, 0,
                              XTYP_EXECUTE, timeoutMs, &result) != 0;
}

void sendCommands(HCONV conversation, char* buffer, const char* targetDir) {
  formatGroupCommand(buffer, CommandBufferSize);
  if (!executeCommand(conversation, buffer, GroupTimeoutMs)) return;
  formatItemCommand(buffer, CommandBufferSize, targetDir);
  executeCommand(conversation, buffer, ItemTimeoutMs);
}

// The commands are joined from their pieces rather than printed with a format:
// the formatted-printing code of the runtime would outweigh the rest of the
// shell. Text that does not fit is cut, and the buffer stays terminated.
void appendText(char* buffer, int bufferSize, const char* text) {
  int used = static_cast<int>(std::strlen(buffer));
  while (*text && used < bufferSize - 1) buffer[used++] = *text++;
  buffer[used] = 0;
}

}  // namespace

void formatGroupCommand(char* buffer, int bufferSize) {
  buffer[0] = 0;
  appendText(buffer, bufferSize, "[CreateGroup(");
  appendText(buffer, bufferSize, GroupName);
  appendText(buffer, bufferSize, ")]");
}

// "[AddItem(%s%s,%s)]", or with the directory and program file name in
// quotation marks when the directory holds a blank.
void formatItemCommand(char* buffer, int bufferSize, const char* targetDir) {
  const char* quote = std::strchr(targetDir, ' ') ? "\"" : "";
  buffer[0] = 0;
  appendText(buffer, bufferSize, "[AddItem(");
  appendText(buffer, bufferSize, quote);
  appendText(buffer, bufferSize, targetDir);
  appendText(buffer, bufferSize, ProgramFileName);
  appendText(buffer, bufferSize, quote);
  appendText(buffer, bufferSize, ",");
  appendText(buffer, bufferSize, GroupName);
  appendText(buffer, bufferSize, ")]");
}

HDDEDATA CALLBACK ddeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
  return nullptr;
}

void registerProgramGroup(const char* targetDir) {
  char* buffer =
      static_cast<char*>(VirtualAlloc(nullptr, CommandBufferSize, MEM_COMMIT, PAGE_READWRITE));
  if (buffer) {
    if (DdeInitializeA(&ddeInstance, ddeCallback, APPCMD_CLIENTONLY, 0) == DMLERR_NO_ERROR) {
      HSZ service = DdeCreateStringHandleA(ddeInstance, ServiceName, CP_WINANSI);
      HCONV conversation = nullptr;
      if (service) {
        CONVCONTEXT context = {};
        context.cb = sizeof context;
        conversation = DdeConnect(ddeInstance, service, service, &context);
        if (conversation) sendCommands(conversation, buffer, targetDir);
        DdeFreeStringHandle(ddeInstance, service);
      }
      if (conversation) DdeDisconnect(conversation);
      DdeUninitialize(ddeInstance);
    }
    VirtualFree(buffer, 0, MEM_RELEASE);
  }
  ddeInstance = 0;
}
