#include "CComponentStream.h"
#include "CComponentStreamPrivate.h"

using namespace ComponentStreamDetail;

// ---------------------------------------------------------------------------
// The walk: records in order, nothing created.

namespace {
void WalkObject(TInput &in, TStreamVisitor &visitor, int depth)
{
    if (depth > kMaxDepth)
        Fail();
    visitor.BeginObject(in.Header(), depth);
    const bool values = visitor.WantsValues();
    static const TStreamValue skipped;
    for (QString path = in.ShortString(); !path.isEmpty(); path = in.ShortString()) {
        if (values) {
            visitor.Property(path, in.Value(depth + 1), depth);
        } else {
            in.SkipValue(depth + 1);
            visitor.Property(path, skipped, depth);
        }
    }
    while (in.Peek() != 0)
        WalkObject(in, visitor, depth + 1);
    in.Byte();
    visitor.EndObject(depth);
}
} // namespace

// ---------------------------------------------------------------------------

TStreamVisitor::~TStreamVisitor() = default;

void WalkComponent(TMemoryStream &stream, TStreamVisitor &visitor)
{
    TInput in(stream);
    in.Signature();
    WalkObject(in, visitor, 0);
}

std::optional<TStreamValue> PeekRootProperty(TMemoryStream &stream, const QString &path)
{
    class TPeek : public TStreamVisitor
    {
    public:
        explicit TPeek(const QString &path) : m_path(path) { }
        void BeginObject(const TStreamObjectHeader &, int) override { }
        void Property(const QString &path, const TStreamValue &value, int depth) override
        {
            if (depth == 0 && path.compare(m_path, Qt::CaseInsensitive) == 0)
                Found = value;
        }
        void EndObject(int) override { }
        std::optional<TStreamValue> Found;

    private:
        const QString &m_path;
    } peek(path);
    const qint64 start = stream.Position();
    try {
        WalkComponent(stream, peek);
    } catch (...) {
        stream.SetPosition(start);
        throw;
    }
    stream.SetPosition(start);
    return peek.Found;
}
