#pragma once
// Element kinds of the export tests, and the outside tools that read what the
// export writes: python's HTML parser, tidy and php.

#include "CBasePgCtrl.h"
#include "CClassRegistry.h"
#include "CPropGroups.h"
#include "CVisualPgCtrlNumeric.h"
#include "ProgramRun.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>

// A text box of the tests (kind 20) with every group published.
class TWebTestBox : public TVisualPgCtrlNumeric
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupBorder *VisualBorderProps READ VisualBorderProps)
    Q_PROPERTY(TPropGroupCharacter *VisualCharacterProps READ VisualCharacterProps)
    Q_PROPERTY(TPropGroupFill *VisualFillProps READ VisualFillProps)
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(TPropGroupPad *VisualPadProps READ VisualPadProps)
    Q_PROPERTY(TPropGroupParagraph *VisualParagraphProps READ VisualParagraphProps)
    Q_PROPERTY(TPropGroupPosSize *VisualPosSizeProps READ VisualPosSizeProps)
    Q_PROPERTY(TPropGroupValidation *VisualValidationProps READ VisualValidationProps)

public:
    using TVisualPgCtrlNumeric::TVisualPgCtrlNumeric;
    int ClassTypeID() const override { return 20; }
};

// A button of the tests (kind 105): a caption and nothing else.
class TWebTestButton : public TBasePgCtrl
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    using TBasePgCtrl::TBasePgCtrl;
    int ClassTypeID() const override { return 105; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption) { m_caption = caption; }

private:
    QString m_caption;
};

// A radio button of the tests (kind 60) in a group.
class TWebTestRadio : public TVisualPgCtrl
{
    Q_OBJECT
    Q_PROPERTY(TPropGroupGeneral *VisualGeneralProps READ VisualGeneralProps)
    Q_PROPERTY(int GroupID READ GroupID WRITE SetGroupID)

public:
    using TVisualPgCtrl::TVisualPgCtrl;
    int ClassTypeID() const override { return 60; }
    int GroupID() const { return m_group; }
    void SetGroupID(int group) { m_group = group; }

private:
    int m_group = -1;
};

// A hidden field of the tests (kind 220).
class TWebTestHidden : public TNonVisualPgCtrl
{
    Q_OBJECT
public:
    using TNonVisualPgCtrl::TNonVisualPgCtrl;
    int ClassTypeID() const override { return 220; }
};

// A PDF view of the tests (kind 100): its page is a red rectangle of 100 by 200.
class TWebTestPdf : public TNonVisualPgCtrl
{
    Q_OBJECT
public:
    using TNonVisualPgCtrl::TNonVisualPgCtrl;
    int ClassTypeID() const override { return 100; }
    void Dispatch(TMessage &message) override
    {
        if (message.Msg == VRMSGPDFPageSize) {
            message.Result = 100 | (200 << 16);
            return;
        }
        if (message.Msg == VRMSGPaintPDFPage) {
            const auto *request = reinterpret_cast<TPaintPDFPageRequest *>(message.LParam);
            request->Canvas->fillRect(request->Rect, Qt::red);
            return;
        }
        TNonVisualPgCtrl::Dispatch(message);
    }
};

inline TRun RunTool(const QString &program, const QStringList &arguments,
                    const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    TRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

inline bool HaveTool(const char *name)
{
    return !QStandardPaths::findExecutable(QString::fromLatin1(name)).isEmpty();
}

// Every tag as a browser's parser sees it: name, attributes with references
// decoded, and the text directly inside.
inline QJsonArray ParsedTags(const QString &html)
{
    static const char *const script = R"PY(
import sys, json
from html.parser import HTMLParser
class Tags(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.open = []
        self.tags = []
    def handle_starttag(self, tag, attrs):
        entry = {'tag': tag, 'attrs': {k: (v if v is not None else '') for k, v in attrs}, 'text': ''}
        self.tags.append(entry)
        if tag not in ('input', 'img', 'meta', 'br'):
            self.open.append(entry)
    def handle_endtag(self, tag):
        while self.open:
            if self.open.pop()['tag'] == tag:
                break
    def handle_data(self, data):
        if self.open:
            self.open[-1]['text'] += data
parser = Tags()
parser.feed(sys.stdin.buffer.read().decode('utf-8'))
parser.close()
print(json.dumps(parser.tags))
)PY";
    const TRun run = RunTool(QStringLiteral("python3"),
                             {QStringLiteral("-c"), QString::fromLatin1(script)}, html.toUtf8());
    return QJsonDocument::fromJson(run.Out.toUtf8()).array();
}

// The first tag with that name attribute (or, for labels, that comment name).
inline QJsonObject TagNamed(const QJsonArray &tags, const QString &name)
{
    for (const QJsonValue &tag : tags)
        if (tag[QStringLiteral("attrs")][QStringLiteral("name")].toString() == name)
            return tag.toObject();
    return {};
}
