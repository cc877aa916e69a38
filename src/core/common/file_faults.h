#pragma once
// Injected failures for the file writers, so that tests can prove what a full
// disk, a read-only folder or a failing rename does to every file the program
// writes. Nothing is injected unless a FileFaultScope is alive; the writers
// then ask FileFaultCheck before each step and fail it with the chosen error
// as if the system had refused it.

#include <QString>
#include <cerrno>

namespace tz {

// The steps of writing a file that can fail.
enum class FileStep {
    Create, // creating the file (or the temporary file that replaces it)
    Write,  // writing bytes
    Sync,   // flushing them to the device
    Rename, // putting a temporary file or folder in place of the target
};

// As the error of a fault: the process ends at once, as if killed, where the
// step would fail (for a Write, after bytesBefore bytes went through).
inline constexpr int kFaultEndsProcess = -1;

struct FileFault
{
    FileFault(FileStep step = FileStep::Write, int error = ENOSPC, qint64 bytesBefore = 0, int passes = 0,
              const QString &pathPart = {})
        : step(step), error(error), bytesBefore(bytesBefore), passes(passes), pathPart(pathPart)
    {}

    FileStep step;
    int error;
    // Write: the bytes that still get through before the step fails (a device
    // that is full after this many bytes). Once struck, every later write of a
    // matching file fails too.
    qint64 bytesBefore;
    // Create, Sync, Rename: the steps of this kind that succeed before the
    // first that fails; every later one fails too.
    int passes;
    // Only files whose path contains this text; empty: every file.
    QString pathPart;
};

// While alive, the writers of this library fail as `fault` says. One scope at
// a time; scopes do not nest.
class FileFaultScope
{
public:
    explicit FileFaultScope(const FileFault &fault);
    ~FileFaultScope();
    FileFaultScope(const FileFaultScope &) = delete;
    FileFaultScope &operator=(const FileFaultScope &) = delete;

    // How many steps the fault has failed so far.
    int strikes() const;
    // For a Write fault: how many bytes of matching files went through.
    qint64 bytesThrough() const;
};

// For the writers: 0 when the step on `path` may go ahead, otherwise the error
// it fails with. For a Write of `bytes` bytes, *allowed gets how many of them
// still get through first (all of them when the result is 0).
int FileFaultCheck(FileStep step, const QString &path, qint64 bytes = 0, qint64 *allowed = nullptr);

} // namespace tz
