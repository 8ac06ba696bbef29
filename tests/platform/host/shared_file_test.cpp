// The host's handling of files other programs share or spoil: the lock every read-change-write holds, the one
// file-opening function that cannot be held by a FIFO, replacing a file that is linked, protected or private,
// moving an unreadable file aside and clearing what an interrupted save left.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <iterator>
#include <optional>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/host/atomic_file.h"
#include "platform/host/file_lock.h"
#include "platform/host/file_names.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

struct Scratch : ::testing::Test {
  std::string dir;
  void SetUp() override {
    char pattern[] = "/tmp/zorvel-shared-XXXXXX";
    dir = ::mkdtemp(pattern);
  }
  void TearDown() override { std::system(("chmod -R u+w " + dir + "; rm -rf " + dir).c_str()); }
  std::string Path(const std::string& name) const { return dir + "/" + name; }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static mode_t Mode(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
  }
};

// Runs `body` in a child process that the test ends after `seconds`: true when it finished in time.
template <typename Body>
bool FinishesWithin(int seconds, Body body) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(static_cast<unsigned>(seconds));
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

TEST_F(Scratch, TheLockIsHeldByOneAtATimeAndAHolderThatHangsCannotHangTheNext) {
  const std::string table = Path("hiscore.dat");
  {
    const ScopedFileLock first(table);
    ASSERT_TRUE(first.Held());
    EXPECT_TRUE(fs::exists(table + ".lock")) << "the lock file lies beside the file";
    const auto start = std::chrono::steady_clock::now();
    const ScopedFileLock second(table, 200);
    EXPECT_FALSE(second.Held()) << "a second holder while the first still holds";
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200)) << "it waited first";
  }
  // Once the first lets go, a waiting holder gets it.
  std::optional<ScopedFileLock> first(std::in_place, table);
  std::thread release([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    first.reset();
  });
  const ScopedFileLock waiting(table, 5000);
  EXPECT_TRUE(waiting.Held());
  release.join();

  // Two names for one file meet at one lock: the link's target's.
  Write(Path("real.ini"), "x");
  ASSERT_EQ(::symlink(Path("real.ini").c_str(), Path("link.ini").c_str()), 0);
  EXPECT_EQ(ScopedFileLock::LockPathFor(Path("link.ini")), fs::canonical(Path("real.ini")).string() + ".lock");
}

TEST_F(Scratch, TheOneOpeningFunctionRefusesFifosAndFoldersWithoutWaiting) {
  ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0644), 0);
  ::mkdir(Path("folder").c_str(), 0755);
  Write(Path("plain"), "plain text");
  const std::string fifo = Path("fifo"), folder = Path("folder"), plain = Path("plain");
  EXPECT_TRUE(FinishesWithin(5, [&] {
    errno = 0;
    const bool refused = OpenRegularFileForReading(fifo) < 0 && errno == EINVAL;
    std::string content;
    return refused && OpenRegularFile(fifo) == nullptr && !ReadRegularFile(fifo, &content) &&
           OpenFile(fifo, "rb") == nullptr;
  })) << "a FIFO is refused at once, not read from";
  errno = 0;
  EXPECT_LT(OpenRegularFileForReading(folder), 0);
  EXPECT_EQ(errno, EISDIR);
  std::string content;
  ASSERT_TRUE(ReadRegularFile(plain, &content));
  EXPECT_EQ(content, "plain text");
  EXPECT_FALSE(ReadRegularFile(plain, &content, 5)) << "longer than the limit";
  EXPECT_EQ(errno, EFBIG);
  EXPECT_EQ(OpenFile(plain, "wb"), nullptr) << "only reading is served";
  EXPECT_TRUE(IsRegularFile(plain));
  EXPECT_FALSE(IsRegularFile(fifo));
}

TEST_F(Scratch, AReplacedFileKeepsItsModeItsLinkAndItsProtection) {
  const std::string privateFile = Path("options.ini");
  Write(privateFile, "old");
  ::chmod(privateFile.c_str(), 0600);
  ASSERT_TRUE(ReplaceHostFile(privateFile, "new", 3));
  EXPECT_EQ(Read(privateFile), "new");
  EXPECT_EQ(Mode(privateFile), 0600u) << "a private file stays private";

  const std::string locked = Path("locked.ini");
  Write(locked, "keep");
  ::chmod(locked.c_str(), 0444);
  std::string error;
  EXPECT_FALSE(ReplaceHostFile(locked, "lost", 4, &error));
  EXPECT_NE(error.find("write-protected"), std::string::npos) << error;
  EXPECT_EQ(Read(locked), "keep");
  EXPECT_EQ(Mode(locked), 0444u);

  ::mkdir(Path("elsewhere").c_str(), 0755);
  const std::string target = Path("elsewhere/hiscore.dat"), link = Path("hiscore.dat");
  Write(target, "old table");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  ASSERT_TRUE(ReplaceFileContent(link, "new table", 9));
  EXPECT_TRUE(fs::is_symlink(link)) << "the link is still a link";
  EXPECT_EQ(Read(target), "new table") << "its target was replaced";
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4) << "nothing left beside it";
}

TEST_F(Scratch, AnUnreadableFileIsKeptAsideAndStaleTemporariesAreCleared) {
  const std::string table = Path("hiscore.dat");
  Write(table, "first");
  const std::string aside = KeepFileAside(table, "unreadable");
  ASSERT_FALSE(aside.empty());
  EXPECT_EQ(aside.rfind(table + ".unreadable-", 0), 0u) << aside;
  EXPECT_FALSE(fs::exists(table));
  EXPECT_EQ(Read(aside), "first");
  // A second one in the same second is not put over the first.
  Write(table, "second");
  const std::string again = KeepFileAside(table, "unreadable");
  ASSERT_FALSE(again.empty());
  EXPECT_NE(again, aside);
  EXPECT_EQ(Read(aside), "first");
  EXPECT_EQ(Read(again), "second");
  EXPECT_EQ(KeepFileAside(Path("missing.dat"), "unreadable"), "");

  Write(table, "table");
  Write(Path("hiscore.dat.tmp.Ab12Cd"), "left by a kill");
  Write(Path("hiscore.dat.tmp.Zz99Yy"), "left by a kill");
  Write(Path("hiscore.dat.tmp.keep-me"), "not a save's temporary");
  Write(Path("options.ini.tmp.Ab12Cd"), "another file's");
  RemoveStaleTemporaries(table);
  EXPECT_FALSE(fs::exists(Path("hiscore.dat.tmp.Ab12Cd")));
  EXPECT_FALSE(fs::exists(Path("hiscore.dat.tmp.Zz99Yy")));
  EXPECT_TRUE(fs::exists(Path("hiscore.dat.tmp.keep-me")));
  EXPECT_TRUE(fs::exists(Path("options.ini.tmp.Ab12Cd")));
  EXPECT_EQ(Read(table), "table");
}
