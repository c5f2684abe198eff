#pragma once
// Documents on disk: the project, its page settings, the page control with
// its pages and elements, and the project settings, inside the envelope.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

class TProjectInfo;

inline constexpr const char *CVELORA_DOC_FILTER = "Velora Documents (*.VLD)|*.VLD";

// Reads the document into GlobalProjectProps, GlobalPagesPageControl and info.
// False after telling the user why; whatever was read is left for the caller to close.
// How a document that needs what is not installed is explained: properties
// unknown to this version, or the element kinds named in missing. The programs
// show their load-error window; without a report a message box names them.
using TLoadErrorReport = std::function<void(bool properties, const QStringList &missing)>;

// Asked about every CLOAD_POLL_MS while the document is read, so that the
// program can keep its windows answering; false stops reading, and LoadDocument
// returns false without a message.
using TLoadPoll = std::function<bool()>;

bool LoadDocument(const QString &path, TProjectInfo &info, std::uint32_t *versionTag = nullptr,
                  const TLoadErrorReport &report = {}, const TLoadPoll &poll = {});

// Writes the open document; false after telling the user why. A failed save leaves
// the file that was there before as it was.
bool SaveDocument(const QString &path, const TProjectInfo &info);
