#pragma once

// Folders where replacing a file fails, for the tests of Save As and Print: a
// disk that fills up, the process's file-size limit, a missing folder and a
// read-only one. The file that was there must come through byte for byte.
// The first three are made with Linux calls; elsewhere only a missing folder
// is tried and the others are skipped.

#if defined(QUILLOMAT_LINUX_WRITE_TROUBLE)
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

enum class WriteTrouble { FullDisk, FileSizeLimit, MissingFolder, ReadOnlyFolder };

inline QByteArray fileBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

inline bool putFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// A file named fileName, from an earlier save, in a folder where writing fails
// as trouble says; run the write through whileTroubled().
class TroubledFolder {
 public:
  // Either trouble leaves room for no more new bytes than this: the earlier
  // file takes 12 KiB of the 16 KiB disk, and the size limit is as low.
  static constexpr qsizetype RoomForNewBytes = 4 * 1024;
  static constexpr qsizetype OldFileSize = 12 * 1024;

  TroubledFolder(WriteTrouble trouble, const QString& fileName) : mTrouble(trouble) {
#if defined(QUILLOMAT_LINUX_WRITE_TROUBLE)
    if (trouble == WriteTrouble::FullDisk) {
      mMounted = ::mount("tmpfs", QFile::encodeName(mDir.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                         "size=16k,mode=0700") == 0;
      if (!mMounted) mSkipReason = QStringLiteral("mounting a tmpfs is not permitted here");
    }
    // Root writes into read-only folders regardless.
    if (trouble == WriteTrouble::ReadOnlyFolder && ::geteuid() == 0)
      mSkipReason = QStringLiteral("a read-only folder does not stop root");
#else
    if (trouble != WriteTrouble::MissingFolder) mSkipReason = QStringLiteral("made only with Linux calls");
#endif
    mPath = mDir.filePath(trouble == WriteTrouble::MissingFolder ? QStringLiteral("missing/") + fileName : fileName);
    if (trouble != WriteTrouble::MissingFolder) {
      QByteArray old = QByteArrayLiteral("the earlier file\n").repeated(OldFileSize / 17 + 1);
      old.truncate(OldFileSize);
      if (putFile(mPath, old)) mOld = old;
    }
    mEntriesBefore = entries();
  }

  ~TroubledFolder() {
#if defined(QUILLOMAT_LINUX_WRITE_TROUBLE)
    if (mMounted) ::umount2(QFile::encodeName(mDir.path()).constData(), MNT_DETACH);
#endif
  }

  TroubledFolder(const TroubledFolder&) = delete;
  TroubledFolder& operator=(const TroubledFolder&) = delete;

  // Empty when the trouble is in place; otherwise why it can't be made here.
  QString skipReason() const {
    if (!mSkipReason.isEmpty()) return mSkipReason;
    if (mTrouble != WriteTrouble::MissingFolder && mOld.isEmpty()) return QStringLiteral("no earlier file");
    return {};
  }
  QString path() const { return mPath; }

  // Runs write with the folder read-only or the size limit lowered for as
  // long as it runs.
  template <typename Write>
  auto whileTroubled(Write write) {
#if !defined(QUILLOMAT_LINUX_WRITE_TROUBLE)
    return write();
#else
    rlimit before{};
    ::getrlimit(RLIMIT_FSIZE, &before);
    if (mTrouble == WriteTrouble::FileSizeLimit) {
      rlimit limited = before;
      limited.rlim_cur = RoomForNewBytes;
      ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    if (mTrouble == WriteTrouble::ReadOnlyFolder) QFile::setPermissions(mDir.path(), QFile::ReadOwner | QFile::ExeOwner);
    struct Restore {
      const TroubledFolder& folder;
      rlimit limit;
      ~Restore() {
        ::setrlimit(RLIMIT_FSIZE, &limit);
        QFile::setPermissions(folder.mDir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
      }
    } restore{*this, before};
    return write();
#endif
  }

  // What is wrong with the way a write here failed, given the messages the
  // user saw: empty when there was one message naming the file and reason,
  // and the folder is as it was.
  QString failureProblems(const QStringList& messages, const QString& reason) const {
    QStringList found;
    if (messages.size() != 1) {
      found.append(QStringLiteral("%1 messages: %2").arg(messages.size()).arg(messages.join(" | ")));
    } else if (!messages.first().contains(QDir::toNativeSeparators(mPath)) || !messages.first().contains(reason)) {
      found.append(QStringLiteral("the message names not the file and \"%1\": %2").arg(reason, messages.first()));
    }
    if (!changes().isEmpty()) found.append(changes());
    return found.join("; ");
  }

 private:
  // What the failed write changed: empty when the earlier file is as it was
  // (or still missing) and nothing was left beside it.
  QString changes() const {
    QStringList found;
    if (mOld.isEmpty() ? QFile::exists(mPath) : fileBytes(mPath) != mOld)
      found.append(QStringLiteral("the earlier file changed"));
    if (entries() != mEntriesBefore)
      found.append(QStringLiteral("the folder holds %1, not %2").arg(entries().join(", "), mEntriesBefore.join(", ")));
    return found.join("; ");
  }

  QStringList entries() const { return QDir(mDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden); }

  WriteTrouble mTrouble;
  QTemporaryDir mDir;
  bool mMounted = false;
  QString mSkipReason;
  QString mPath;
  QByteArray mOld;
  QStringList mEntriesBefore;
};
