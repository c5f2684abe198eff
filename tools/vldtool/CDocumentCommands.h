#pragma once
// The document commands of vldtool: check, dump, unpack and pack. Each takes
// the words after its name and returns the exit status.

#include <QStringList>

// Exit statuses, so that scripts can tell what failed.
enum TDocumentExit {
    deOk = 0,
    deUsage = 2,
    deUnreadable = 3, // the file cannot be read or written
    deInvalidFormat = 4, // not an envelope: too short or not whole cipher blocks
    deNotRecognised = 5, // the digest does not match
    deReadError = 6, // the payload does not walk
    deMissingPlugIns = 7, // element kinds that are not installed
};

// check FILE [PLUGIN_FOLDER]: envelope, digest, payload, required plug-ins.
int RunCheckCommand(const QStringList &args);
// dump [--full] FILE: the object trees of a document (or of a plain payload) as text;
// large binary values as their size and digest unless --full.
int RunDumpCommand(const QStringList &args);
// unpack FILE OUT: the plain payload.
int RunUnpackCommand(const QStringList &args);
// pack IN FILE: a payload that walks, wrapped in the envelope.
int RunPackCommand(const QStringList &args);
