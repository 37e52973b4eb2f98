// Installing over an earlier install on a disk that fails part-way: the files
// copied before the failure are new, the file being copied and those after it
// are the earlier install's, byte for byte, and no new file is left behind.
// The disk fails through the file replacement's seam on both builds, and on
// Linux also for real, on a small file system of its own.
#include "InstallerFixture.h"
#include "platform/FileSystem.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <optional>
#include <sstream>

using installer::Form1;
using installer::Outcome;

namespace installertest {
namespace {

using Lines = std::vector<std::string>;

// The earlier version of a file: short, and with bytes that a text copy would change.
std::string oldBytesOf(const std::string& name) {
    return "old " + name + std::string("\r\n\0\xFF", 4);
}

// The new version of a file: a.sem is short, b.sem spans many writes, c.sem is tiny.
std::string newBytesOf(const std::string& name) {
    const size_t size = name == "a.sem" ? 1000 : name == "b.sem" ? 300'000 : 10;
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + name[0]) % 256);
    return bytes;
}

const char* const names[] = {"a.sem", "b.sem", "c.sem"};

// What a file holds: "old", "new" or something else.
std::string versionOf(const std::string& name, const std::string& bytes) {
    if (bytes == oldBytesOf(name))
        return "old";
    if (bytes == newBytesOf(name))
        return "new";
    return std::to_string(bytes.size()) + " other bytes";
}

class ReinstallTest : public InstallerTest {
protected:
    ReinstallTest() {
        for (const char* name : names)
            writeBytes(vstfiles() / name, newBytesOf(name));
    }

    fs::path product() const { return plugins / "QUORVST12"; }

    void installEarlierVersion() const {
        fs::create_directories(product());
        for (const char* name : names)
            writeBytes(product() / name, oldBytesOf(name));
    }

    // Presses "INSTALL NOW" and tells what came of it: the exit code, the
    // messages, the log, and each file of the product folder with its version.
    Lines reinstall() {
        Lines seen;
        std::vector<std::u16string> log;
        ui.user = [&](Form1& form) {
            form.Command1_Click();
            log = form.log();
        };
        seen.push_back("exit " + std::to_string(installer::exitCode(run())));
        for (const Shown& shown : ui.messages)
            seen.push_back("message " + installer::toUtf8(shown.text));
        for (const std::u16string& line : log)
            seen.push_back("log " + installer::toUtf8(line));
        for (const std::string& name : folderNames(product()))
            seen.push_back(name + " " + versionOf(name, readBytes(product() / name)));
        return seen;
    }

    // What a reinstall that fails while copying b.sem leaves.
    Lines failedAtB() const {
        const std::u16string from = nameOf(vstfiles()) + separator + u"b.sem";
        const std::u16string to = nameOf(product()) + separator + u"b.sem";
        const std::string message = installer::toUtf8(u"Can't copy " + from + u" to " + to);
        return {"exit 1",      "message " + message, "log Inicio",
                "log dir vst", "log dir vst 2",      "log Copy a.sem",
                "a.sem new",   "b.sem old",          "c.sem old"};
    }
};

// ---- A disk that fails through the file replacement's seam ----------------

// Lets one step of the copies fail, counting the steps of all files.
class FailingDisk final : public platform::FileFaults {
public:
    std::optional<size_t> spaceLeft; // bytes the disk takes before it is full
    int flushesThatWork = -1;        // -1: all
    int closesThatWork = -1;
    int replacesThatWork = -1;

    struct Replacement {
        fs::path newFile;
        fs::path target;
        std::string bytes; // of the new file just before it took the target's place
    };
    std::vector<Replacement> replacements;

    size_t writableBytes(size_t size) override {
        if (!spaceLeft)
            return size;
        const size_t taken = std::min(size, *spaceLeft);
        *spaceLeft -= taken;
        return taken;
    }
    bool flushWorks() override { return works(flushesThatWork); }
    bool closeWorks() override { return works(closesThatWork); }
    bool replaceWorks(const fs::path& newFile, const fs::path& target) override {
        replacements.push_back({newFile, target, readBytes(newFile)});
        return works(replacesThatWork);
    }

private:
    static bool works(int& left) {
        if (left == 0)
            return false;
        if (left > 0)
            --left;
        return true;
    }
};

class ReinstallOnFailingDisk : public ReinstallTest {
protected:
    ReinstallOnFailingDisk() { platform::setFileFaults(&disk); }
    ~ReinstallOnFailingDisk() override { platform::setFileFaults(nullptr); }

    FailingDisk disk;
};

TEST_F(ReinstallOnFailingDisk, EachFileIsCompleteBesideItsTargetBeforeItTakesItsPlace) {
    installEarlierVersion();
    EXPECT_EQ(reinstall(),
              (Lines{"exit 0", "message INSTALLATION COMPLETE", "log Inicio", "log dir vst",
                     "log dir vst 2", "log Copy a.sem", "log Copy b.sem", "log Copy c.sem",
                     "a.sem new", "b.sem new", "c.sem new"}));
    ASSERT_EQ(disk.replacements.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const FailingDisk::Replacement& step = disk.replacements[i];
        EXPECT_TRUE(fs::equivalent(step.target, product() / names[i])) << step.target;
        EXPECT_TRUE(fs::equivalent(step.newFile.parent_path(), product())) << step.newFile;
        EXPECT_NE(step.newFile.filename(), step.target.filename());
        EXPECT_EQ(step.bytes, newBytesOf(names[i])) << names[i];
    }
}

struct DiskFault {
    const char* name;
    void (*apply)(FailingDisk&); // makes the copy of b.sem, the second file, fail
};
void PrintTo(const DiskFault& c, std::ostream* out) {
    *out << c.name;
}

class FailedReinstall : public ReinstallOnFailingDisk,
                        public ::testing::WithParamInterface<DiskFault> {};

TEST_P(FailedReinstall, KeepsTheEarlierFilesFromTheOneThatFailed) {
    installEarlierVersion();
    GetParam().apply(disk);
    EXPECT_EQ(reinstall(), failedAtB());
}

TEST_P(FailedReinstall, OfAFileNotInstalledBeforeLeavesNoFileOfItsName) {
    GetParam().apply(disk);
    Lines expected = failedAtB();
    expected.resize(expected.size() - 3);
    expected.push_back("a.sem new");
    EXPECT_EQ(reinstall(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Installer, FailedReinstall,
    ::testing::Values(DiskFault{"FullBeforeTheFirstByte",
                                [](FailingDisk& d) { d.spaceLeft = newBytesOf("a.sem").size(); }},
                      DiskFault{"FullPartWay",
                                [](FailingDisk& d) {
                                    d.spaceLeft = newBytesOf("a.sem").size() + 100'000;
                                }},
                      DiskFault{"FullBeforeTheLastByte",
                                [](FailingDisk& d) {
                                    d.spaceLeft =
                                        newBytesOf("a.sem").size() + newBytesOf("b.sem").size() - 1;
                                }},
                      DiskFault{"FlushFails", [](FailingDisk& d) { d.flushesThatWork = 1; }},
                      DiskFault{"CloseFails", [](FailingDisk& d) { d.closesThatWork = 1; }},
                      DiskFault{"ReplaceFails", [](FailingDisk& d) { d.replacesThatWork = 1; }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- A real file system that fills up (Linux) ------------------------------

#ifndef _WIN32
bool writeWhole(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    return ::close(fd) == 0 && written;
}

// Takes this process into a mount namespace of its own, whose mounts no other
// process sees; without the right to, through a user namespace of its own in
// which it is root.
bool enterMountNamespace() {
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWNS) != 0) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return false;
        (void)writeWhole("/proc/self/setgroups", "deny");
        if (!writeWhole("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !writeWhole("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return false;
    }
    return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

// Runs body in a child process with a file system of `bytes` mounted on the
// folder, which is gone with the child, and answers the lines body answered;
// none when no file system can be mounted here.
std::optional<Lines> onSmallFileSystem(const fs::path& folder, size_t bytes,
                                       const std::function<Lines()>& body) {
    int ends[2];
    if (::pipe(ends) != 0)
        return Lines{"no pipe"};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        const std::string options = "size=" + std::to_string(bytes);
        if (!enterMountNamespace() || ::mount("tavri-small", folder.c_str(), "tmpfs",
                                              MS_NOSUID | MS_NODEV, options.c_str()) != 0)
            ::_exit(77);
        std::string report;
        for (const std::string& line : body())
            report += line + '\n';
        for (size_t at = 0; at < report.size();) {
            const ssize_t written = ::write(ends[1], report.data() + at, report.size() - at);
            if (written <= 0)
                ::_exit(1);
            at += size_t(written);
        }
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, size_t(got));
    ::close(ends[0]);
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child)
        return Lines{"no child process"};
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
        return std::nullopt;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return Lines{"the child process ended with status " + std::to_string(status)};
    Lines lines;
    std::istringstream in(report);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST_F(ReinstallTest, AFileSystemThatFillsUpKeepsTheEarlierFilesFromTheOneThatFailed) {
    fs::create_directory(plugins);
    // 64 KiB: the earlier install and the new a.sem fit, the new b.sem does not.
    const std::optional<Lines> seen = onSmallFileSystem(plugins, 64 * 1024, [this] {
        installEarlierVersion();
        return reinstall();
    });
    if (!seen)
        GTEST_SKIP() << "no file system can be mounted here";
    EXPECT_EQ(*seen, failedAtB());
}
#endif

} // namespace
} // namespace installertest
