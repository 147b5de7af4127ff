// The Program Manager conversation against a stand-in server for "PROGMAN" on
// a thread of its own: which commands arrive, in which order and form, and
// what the client does when the server refuses or is slow. DDE needs windows,
// so this program runs on an X screen (tests/scripts/30-program-group.sh).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "shell/program_group.h"

namespace {

// How the stand-in answers the execute transactions, in arrival order.
struct Answer {
  DWORD delayMs;
  bool accept;
};

struct Received {
  std::string command;
  DWORD size;  // bytes in the data handle, terminating zero included
};

struct Server {
  std::vector<Answer> answers;
  std::mutex lock;
  std::vector<Received> received;
  std::atomic<int> finished{0};  // execute transactions answered so far
  DWORD instance = 0;
  HSZ service = nullptr;
};

Server* activeServer;

HDDEDATA CALLBACK serverCallback(UINT type, UINT, HCONV, HSZ topic, HSZ, HDDEDATA data, ULONG_PTR,
                                 ULONG_PTR) {
  Server& server = *activeServer;
  switch (type) {
    case XTYP_CONNECT:
      return reinterpret_cast<HDDEDATA>(
          static_cast<INT_PTR>(DdeCmpStringHandles(topic, server.service) == 0));
    case XTYP_EXECUTE: {
      Received item;
      item.size = DdeGetData(data, nullptr, 0, 0);
      std::string text(item.size, '\0');
      DdeGetData(data, reinterpret_cast<LPBYTE>(text.data()), item.size, 0);
      item.command = text.c_str();
      size_t index;
      {
        std::lock_guard<std::mutex> guard(server.lock);
        index = server.received.size();
        server.received.push_back(item);
      }
      Answer answer = index < server.answers.size() ? server.answers[index] : Answer{0, true};
      Sleep(answer.delayMs);
      ++server.finished;
      return reinterpret_cast<HDDEDATA>(
          static_cast<INT_PTR>(answer.accept ? DDE_FACK : DDE_FNOTPROCESSED));
    }
    default:
      return nullptr;
  }
}

// Runs the stand-in on its own thread for the life of the object.
class StandInProgman {
 public:
  explicit StandInProgman(std::vector<Answer> answers) {
    server_.answers = std::move(answers);
    activeServer = &server_;
    std::atomic<bool> ready{false};
    thread_ = std::thread([this, &ready] {
      threadId_ = GetCurrentThreadId();
      DdeInitializeA(&server_.instance, serverCallback, APPCLASS_STANDARD, 0);
      server_.service = DdeCreateStringHandleA(server_.instance, "PROGMAN", CP_WINANSI);
      DdeNameService(server_.instance, server_.service, nullptr, DNS_REGISTER);
      ready = true;
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
      DdeNameService(server_.instance, server_.service, nullptr, DNS_UNREGISTER);
      DdeFreeStringHandle(server_.instance, server_.service);
      DdeUninitialize(server_.instance);
    });
    while (!ready) Sleep(10);
  }
  ~StandInProgman() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
    activeServer = nullptr;
  }
  std::vector<Received> received() {
    std::lock_guard<std::mutex> guard(server_.lock);
    return server_.received;
  }
  int finished() const { return server_.finished; }

 private:
  Server server_;
  std::thread thread_;
  DWORD threadId_ = 0;
};

const char GroupCommand[] = "[CreateGroup(Tarnivole)]";
const char QuotedItem[] = "[AddItem(\"C:\\Program Files\\Tarnivole\\QVTX.EXE\",Tarnivole)]";

TEST(ProgramGroupConversation, GroupThenItemArriveAsZeroTerminatedText) {
  StandInProgman progman({});
  registerProgramGroup("C:\\Program Files\\Tarnivole\\");
  std::vector<Received> received = progman.received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].command, GroupCommand);
  EXPECT_EQ(received[1].command, QuotedItem);
  for (const Received& item : received) EXPECT_EQ(item.size, item.command.size() + 1);
}

TEST(ProgramGroupConversation, RefusedGroupCommandSendsNoItem) {
  StandInProgman progman({{0, false}});
  registerProgramGroup("D:\\TOOLS\\");
  std::vector<Received> received = progman.received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].command, GroupCommand);
}

TEST(ProgramGroupConversation, GroupCommandSlowerThanTenSecondsSendsNoItem) {
  StandInProgman progman({{11000, true}});
  registerProgramGroup("D:\\TOOLS\\");
  while (progman.finished() < 1) Sleep(50);
  Sleep(200);
  std::vector<Received> received = progman.received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].command, GroupCommand);
}

TEST(ProgramGroupConversation, GroupCommandAnsweredWithinTenSecondsStillGetsItem) {
  StandInProgman progman({{3000, true}});
  registerProgramGroup("D:\\TOOLS\\");
  std::vector<Received> received = progman.received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1].command, "[AddItem(D:\\TOOLS\\QVTX.EXE,Tarnivole)]");
}

TEST(ProgramGroupConversation, SecondCallInTheSameRunConnectsAgain) {
  StandInProgman progman({});
  registerProgramGroup("D:\\A\\");
  registerProgramGroup("D:\\B\\");
  std::vector<Received> received = progman.received();
  ASSERT_EQ(received.size(), 4u);
  EXPECT_EQ(received[3].command, "[AddItem(D:\\B\\QVTX.EXE,Tarnivole)]");
}

}  // namespace
