#pragma once
// The component stream: the tagged binary encoding in which documents and the
// element clipboard hold object trees ("TPF0", object records, dotted property
// paths for nested objects, child lists, value tags 0 to 20). The writer walks
// the published properties of the Qt meta-object system; the reader sets them
// by name and creates children by registered class name. Nothing read is
// trusted: every length, count and nesting level is checked against the bytes
// that are really there, and damage is an EReadError, never a read past the end.

#include "CComponent.h"
#include "CException.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Damage or unexpected content in a stream; the message is the user's.
class EReadError : public EVeloraError
{
public:
    using EVeloraError::EVeloraError;
};

// Every structural fault: a bad tag or signature, a length past the end, too deep a nesting.
extern const char *const SReadError; // "Read Error."

// Value tags, numbered as stored.
enum TValueType : std::uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
};

// Flags of an object record's optional prefix byte.
enum TFilerFlag : unsigned { ffInherited = 1, ffChildPos = 2, ffInline = 4 };

struct TStreamCollectionItem;

// One tagged value as it stands in a stream.
struct TStreamValue
{
    TValueType Type = vaNull;
    std::int64_t Int = 0; // the integer tags; vaCurrency holds the value × 10000
    long double Float = 0; // vaExtended, vaSingle, vaDate
    QString Text; // the four string tags and vaIdent
    QByteArray Data; // vaBinary
    QStringList Members; // vaSet
    std::vector<TStreamValue> Items; // vaList
    std::vector<TStreamCollectionItem> Collection; // vaCollection

    static TStreamValue Integer(std::int64_t value);
    static TStreamValue Boolean(bool value);
    static TStreamValue Ident(const QString &ident);
    static TStreamValue Extended(long double value);
    // String or LString when every character is Windows-1252, WString otherwise.
    static TStreamValue FromText(const QString &text);
    static TStreamValue Binary(const QByteArray &bytes);

    bool IsInteger() const;
    bool IsText() const;
};

struct TStreamProperty
{
    QString Path;
    TStreamValue Value;
};

struct TStreamCollectionItem
{
    std::optional<std::int64_t> Order;
    std::vector<TStreamProperty> Properties;
};

// Bytes with a read position. Reads past the end fail as a whole; a subclass
// may watch how many bytes are asked for.
class TMemoryStream
{
public:
    TMemoryStream() = default;
    explicit TMemoryStream(QByteArray data) : m_data(std::move(data)) { }
    virtual ~TMemoryStream();
    TMemoryStream(const TMemoryStream &) = delete;
    TMemoryStream &operator=(const TMemoryStream &) = delete;

    const QByteArray &Data() const { return m_data; }
    qint64 Size() const { return m_data.size(); }
    qint64 Position() const { return m_position; }
    void SetPosition(qint64 position);
    bool AtEnd() const { return m_position >= m_data.size(); }
    qint64 Remaining() const { return m_data.size() - m_position; }
    // Replaces the content; the position returns to the start.
    void SetData(QByteArray data);
    void Clear() { SetData({}); }

    // The next count bytes, without copying; false (nothing consumed) when fewer are left.
    bool ReadView(qint64 count, QByteArrayView &bytes);
    bool Read(void *buffer, qint64 count);
    // Overwrites from the position on, growing as needed.
    void Write(QByteArrayView bytes);

protected:
    // Every read reports how many bytes it asked for.
    virtual void BytesRead(qint64 count) { Q_UNUSED(count); }

private:
    QByteArray m_data;
    qint64 m_position = 0;
};

// Defines the values a class streams beyond its published properties. The
// same DefineProperties serves the reader (which calls read when the stream
// names the value) and the writer (which stores write() when hasData).
class TFiler
{
public:
    using TReadProc = std::function<void(const TStreamValue &value)>;
    using TWriteProc = std::function<TStreamValue()>;
    using TReadBinaryProc = std::function<void(const QByteArray &bytes)>;
    using TWriteBinaryProc = std::function<QByteArray()>;

    virtual ~TFiler();
    virtual void DefineProperty(const QString &name, const TReadProc &read, const TWriteProc &write,
                                bool hasData)
        = 0;
    // A value stored as a data block; any other tag is an invalid value.
    void DefineBinaryProperty(const QString &name, const TReadBinaryProc &read,
                              const TWriteBinaryProc &write, bool hasData);
};

// Implemented beside QObject by a component or nested object (a picture, say)
// that streams values of its own, after its published properties.
class TCustomStreaming
{
public:
    virtual ~TCustomStreaming();
    virtual void DefineProperties(TFiler &filer) = 0;
};

// Writes root with its whole tree as one stream ("TPF0" and the object
// record) at the stream's position. Children are the components root owns
// that sit below it (a page control's pages, a widget's child widgets, in
// stacking order). A property is left out only when it equals both its
// declared default and the value a new object of the same class has, so a
// kind that starts from other values never loses a change back to the base's.
// Raises EVeloraError when a name or path does not fit the format.
void WriteComponent(TMemoryStream &stream, TComponent *root);
QByteArray ComponentToBytes(TComponent *root);

// Reads one stream at the position into an existing root (its class and name
// in the stream are not checked); children are created by class name, owned
// by root. Every component read gets Loaded() once the whole tree is in.
// Raises EReadError (or what a setter raises): "<component path>: Property
// <path> does not exist" for an unknown property, "Class <name> not found",
// SReadError for damage. What was read stays; no component is left loading.
void ReadComponent(TMemoryStream &stream, TComponent *root);
// Creates the root by the class the stream names, with owner (with no owner
// the caller owns it); nothing is left behind when reading fails.
TComponent *ReadNewComponent(TMemoryStream &stream, TComponent *owner);

struct TStreamObjectHeader
{
    unsigned Flags = 0;
    std::optional<std::int64_t> ChildPos;
    QString ClassName;
    QString Name;
};

// Receives a stream's records in order; nothing is created.
class TStreamVisitor
{
public:
    virtual ~TStreamVisitor();
    // False to have values skipped by their tags instead of decoded.
    virtual bool WantsValues() const { return true; }
    virtual void BeginObject(const TStreamObjectHeader &header, int depth) = 0;
    virtual void Property(const QString &path, const TStreamValue &value, int depth) = 0;
    virtual void EndObject(int depth) = 0;
};

// A property record of the root that starts at the position (a project's
// PageCount, say), read without moving; nothing when the root has none.
std::optional<TStreamValue> PeekRootProperty(TMemoryStream &stream, const QString &path);

// Walks one stream at the position; raises EReadError on any damage.
void WalkComponent(TMemoryStream &stream, TStreamVisitor &visitor);
// One stream as text: "object Name: TClass", indented "Path = value" lines, "end".
QString ComponentToText(TMemoryStream &stream);
QString StreamValueText(const TStreamValue &value, int indent = 0);

// Text of 8-bit strings, as the String and LString tags hold it.
QString Windows1252ToString(QByteArrayView bytes);
// False when a character has no Windows-1252 code.
bool StringToWindows1252(const QString &text, QByteArray &bytes);

// The 10-byte x87 extended-precision form, little-endian.
long double ExtendedFromBytes(const std::uint8_t bytes[10]);
void ExtendedToBytes(long double value, std::uint8_t bytes[10]);
