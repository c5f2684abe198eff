// Writes the example forms through the model, as the programs would save
// them: generate-examples OUTPUT_FOLDER.

#include "CAppPaths.h"
#include "CButton.h"
#include "CCalc.h"
#include "CCombo.h"
#include "CDocumentBuilder.h"
#include "CFillerScrollBox.h"
#include "CGlobal.h"
#include "CPrinterService.h"
#include "CProjectProps.h"
#include "CScribe.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <cstdio>

namespace {
// Printed stationery is drawn at the resolution it is printed at, and kept losslessly.
constexpr int kDpi = 300;

int Px(double mm)
{
    return int(mm / 25.4 * kDpi + 0.5);
}

struct TSheetField
{
    QString Label;
    double HeightMm;
};

QByteArray EncodePng(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// White paper at the sheets' resolution with the form's title and rule.
QImage NewSheet(QSizeF paperMm, const QString &title)
{
    QImage image(Px(paperMm.width()), Px(paperMm.height()), QImage::Format_RGB32);
    image.setDotsPerMeterX(int(kDpi / 0.0254));
    image.setDotsPerMeterY(int(kDpi / 0.0254));
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont heading(QStringLiteral("Liberation Sans"));
    heading.setPixelSize(Px(7));
    heading.setBold(true);
    p.setFont(heading);
    p.setPen(QColor(0x1F, 0x3A, 0x68));
    p.drawText(QRect(Px(15), Px(12), Px(paperMm.width() - 30), Px(12)), Qt::AlignLeft, title);
    p.fillRect(QRect(Px(15), Px(25), Px(paperMm.width() - 30), Px(0.8)), QColor(0x1F, 0x3A, 0x68));
    return image;
}

// A pre-printed sheet: a title, labelled boxes, and a comb row for an identifier.
QByteArray PrintedSheet(QSizeF paperMm, const QString &title, const QStringList &labels)
{
    QImage image = NewSheet(paperMm, title);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont label(QStringLiteral("Liberation Sans"));
    label.setPixelSize(Px(3.5));
    p.setFont(label);
    double y = 35;
    for (const QString &text : labels) {
        p.setPen(Qt::black);
        p.drawText(QPointF(Px(15), Px(y)), text);
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), Px(0.3)));
        p.drawRect(QRect(Px(60), Px(y - 5), Px(paperMm.width() - 75), Px(8)));
        y += 14;
    }
    // Comb boxes: one character each, as on printed stationery.
    p.setPen(Qt::black);
    p.drawText(QPointF(Px(15), Px(y)), QStringLiteral("Identifier"));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), Px(0.3)));
    for (int i = 0; i < 9; ++i)
        p.drawRect(QRect(Px(60 + i * 7), Px(y - 5), Px(6), Px(8)));
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawText(QPointF(Px(15), Px(paperMm.height() - 12)),
               QStringLiteral("Velora example form. Values print into the boxes above."));
    p.end();
    return EncodePng(image);
}

// Where the fields of a sheet lie, millimetres from the paper's corner.
constexpr double kFieldLeftMm = 60;
constexpr double kFirstFieldMm = 35;
constexpr double kFieldGapMm = 6;
constexpr double kCombBoxMm = 6;
constexpr double kCombGapMm = 1;
constexpr double kOneLineMm = 8;
constexpr TColor kFrame = TColor::FromRGB(0x80, 0x80, 0x80);
constexpr TColor kField = TColor::FromRGB(0xF2, 0xF6, 0xFC);

// A sheet with one labelled box per field, stacked, and when combBoxes is not 0
// a comb row of that many boxes below them.
QByteArray FieldSheet(QSizeF paperMm, const QString &title, const QList<TSheetField> &fields,
                      const QString &combLabel, int combBoxes)
{
    QImage image = NewSheet(paperMm, title);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont label(QStringLiteral("Liberation Sans"));
    label.setPixelSize(Px(3.5));
    p.setFont(label);
    double y = kFirstFieldMm;
    for (const TSheetField &field : fields) {
        p.setPen(Qt::black);
        p.drawText(QPointF(Px(15), Px(y + 5)), field.Label);
        y += field.HeightMm + kFieldGapMm;
    }
    if (combBoxes > 0) {
        p.setPen(Qt::black);
        p.drawText(QPointF(Px(15), Px(y + 5)), combLabel);
    }
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawText(QPointF(Px(15), Px(paperMm.height() - 12)),
               QStringLiteral("Velora example form. Fill it in on screen, then print or save it."));
    p.end();
    return EncodePng(image);
}

// Places text boxes over the fields of a sheet, top to bottom, in TAB order.
class TFieldPlacer
{
public:
    TFieldPlacer(TDocumentBuilder &doc, int page, double paperWidthMm)
        : m_doc(doc), m_page(page), m_pxPerMm(doc.View(page)->PaperRect().width() / paperWidthMm),
          m_widthMm(paperWidthMm - kFieldLeftMm - 15)
    { }

    TScribe *Next(const QString &name, double heightMm)
    {
        const QRect at(Px(kFieldLeftMm), Px(m_y), Px(m_widthMm), Px(heightMm));
        m_y += heightMm + kFieldGapMm;
        TScribe *box = Add(name, at);
        // A one-line box keeps its line in the middle, as a hand would write it.
        if (heightMm <= kOneLineMm) {
            box->VisualParagraphProps()->SetParagraphVertAlign(taVerticalCenter);
        } else {
            // Enter starts the next line of a multi-line box instead of leaving it.
            box->VisualParagraphProps()->SetParagraphWrap(true);
            box->VisualTABOnProps()->SetTABOnEnterKey(false);
        }
        return box;
    }
    // A comb of boxes, one character each.
    TScribe *Comb(const QString &name, int boxes)
    {
        // One gap to spare: pixels are whole, and a box cut by rounding is not drawn.
        const double width = boxes * (kCombBoxMm + kCombGapMm);
        TScribe *box = Add(name, QRect(Px(kFieldLeftMm), Px(m_y), Px(width), Px(8)));
        TPropGroupParagraph *paragraph = box->VisualParagraphProps();
        paragraph->SetParagraphStyle(psFixed);
        paragraph->ParagraphFixed()->SetFixedWidth(kCombBoxMm);
        paragraph->ParagraphFixed()->SetFixedHeight(8);
        paragraph->ParagraphFixed()->SetFixedHorzGap(kCombGapMm);
        box->ScribeValidationProps()->SetValidationMaxChars(boxes);
        box->ScribeCharacterProps()->SetCharacterFixedSize(true);
        // The comb's own boxes replace the outer frame.
        box->VisualBorderProps()->SetBorderWidth(0);
        box->VisualFillProps()->SetFillColor(clNone);
        box->VisualPadProps()->SetPadLeft(0);
        box->VisualPadProps()->SetPadRight(0);
        paragraph->ParagraphFixed()->FixedBorderProps()->SetBorderWidth(1);
        paragraph->ParagraphFixed()->FixedBorderProps()->SetBorderColor(kFrame);
        paragraph->ParagraphFixed()->FixedFillProps()->SetFillColor(kField);
        m_y += 8 + kFieldGapMm;
        return box;
    }

private:
    int Px(double mm) const { return int(mm * m_pxPerMm + 0.5); }
    TScribe *Add(const QString &name, const QRect &at)
    {
        TScribe *box = m_doc.Add<TScribe>(m_page, name, at);
        box->SetTabOrder(m_tabOrder++);
        box->VisualCharacterProps()->SetCharacterSize(11);
        box->VisualBorderProps()->SetBorderWidth(1);
        box->VisualBorderProps()->SetBorderColor(kFrame);
        box->VisualFillProps()->SetFillColor(kField);
        box->VisualPadProps()->SetPadLeft(3);
        box->VisualPadProps()->SetPadRight(3);
        // An empty amount stays empty rather than showing 0.
        box->VisualNumberProps()->SetNumberDisplayZero(false);
        return box;
    }

    TDocumentBuilder &m_doc;
    int m_page;
    double m_pxPerMm;
    double m_widthMm;
    double m_y = kFirstFieldMm;
    int m_tabOrder = 0;
};

// The words a person reads when a check fails, in place of the generic "<Name> is ..." texts.
// Indexes: 0 required, 1 not a number or out of range, 2 not an e-mail address, 3 no match.
void SetMessages(TScribe *box, std::initializer_list<std::pair<int, const char *>> messages)
{
    QStringList list = box->VisualValidationProps()->ValidationErrMsgsList();
    for (const auto &[index, text] : messages)
        if (index < list.size())
            list[index] = QString::fromUtf8(text);
    box->VisualValidationProps()->SetValidationErrMsgsList(list);
}

int AddPage(TDocumentBuilder &doc, const QString &caption, int paper, QByteArray background)
{
    const int index = doc.AddPage(caption);
    TProjectPropsPageProps *settings = doc.Settings(index);
    {
        TGlobalFlagScope adding(GlobalAddingPage);
        settings->PagePaperProps()->SetPaperSize(paper);
    }
    settings->PageBackgroundProps()->SetFileNameImage(background);
    settings->SetPageDefaultView(dvFitToWidth);
    return index;
}

// Employee details on A4: a comb field for the national identifier, a
// multi-line address, a salary with thousands separators and a required e-mail.
bool WriteEmployee(const QString &path)
{
    TDocumentBuilder doc;
    const QSizeF a4(210, 297);
    const QList<TSheetField> fields = {{QStringLiteral("Full name"), 8},
                                       {QStringLiteral("Address"), 22},
                                       {QStringLiteral("E-mail"), 8},
                                       {QStringLiteral("Annual salary"), 8}};
    const int page = AddPage(doc, QStringLiteral("Employee"), 9,
                             FieldSheet(a4, QStringLiteral("Employee Details"), fields,
                                        QStringLiteral("National identifier"), 9));
    TFieldPlacer place(doc, page, a4.width());

    TScribe *name = place.Next(QStringLiteral("FullName"), 8);
    name->VisualValidationProps()->SetValidationRequired(true);
    SetMessages(name, {{0, "Please enter your full name."}});

    place.Next(QStringLiteral("Address"), 22);

    TScribe *email = place.Next(QStringLiteral("Email"), 8);
    email->ScribeGeneralProps()->SetGeneralInputType(tbitEmail);
    email->VisualValidationProps()->SetValidationRequired(true);
    SetMessages(email,
                {{0, "Please enter your e-mail address."},
                 {2, "Please enter a whole e-mail address, such as name@example.com."}});

    TScribe *salary = place.Next(QStringLiteral("Salary"), 8);
    salary->ScribeGeneralProps()->SetGeneralInputType(tbitNumeric);
    salary->VisualNumberProps()->SetNumberSeparateThousands(true);
    salary->VisualNumberProps()->SetNumberDecPlaces(2);
    salary->VisualParagraphProps()->SetParagraphHorzAlign(taRightJustify);
    SetMessages(salary, {{1, "Please enter the annual salary as an amount, such as 42,500.00."}});

    TScribe *identifier = place.Comb(QStringLiteral("NationalId"), 9);
    identifier->VisualGeneralProps()->SetGeneralRestrictTo(
        QStringLiteral("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    identifier->VisualCharacterProps()->SetCharacterStyle(TCharacterStyles(csUpperCase));
    // The caret waits in the first box when the form opens.
    doc.Settings(page)->SetPageDefaultFocus(name->Name());
    return doc.Save(path);
}

// A two-page account application on US Letter: the second page asks for a
// password twice, and the two must match.
bool WriteApplication(const QString &path)
{
    TDocumentBuilder doc;
    const QSizeF letter(215.9, 279.4);
    const QList<TSheetField> first = {{QStringLiteral("Name"), 8},
                                      {QStringLiteral("Organisation"), 8},
                                      {QStringLiteral("E-mail"), 8},
                                      {QStringLiteral("Seats"), 8}};
    const QList<TSheetField> second = {{QStringLiteral("User name"), 8},
                                       {QStringLiteral("Password"), 8},
                                       {QStringLiteral("Repeat password"), 8},
                                       {QStringLiteral("Remarks"), 30}};
    const int one
        = AddPage(doc, QStringLiteral("Applicant"), 1,
                  FieldSheet(letter, QStringLiteral("Account Application"), first, {}, 0));
    const int two = AddPage(doc, QStringLiteral("Sign-in"), 1,
                            FieldSheet(letter, QStringLiteral("Sign-in Details"), second, {}, 0));

    TFieldPlacer applicant(doc, one, letter.width());
    TScribe *applicantName = applicant.Next(QStringLiteral("ApplicantName"), 8);
    applicantName->VisualValidationProps()->SetValidationRequired(true);
    SetMessages(applicantName, {{0, "Please enter your name."}});
    applicant.Next(QStringLiteral("Organisation"), 8);
    TScribe *applicantEmail = applicant.Next(QStringLiteral("ApplicantEmail"), 8);
    applicantEmail->ScribeGeneralProps()->SetGeneralInputType(tbitEmail);
    SetMessages(applicantEmail,
                {{2, "Please enter a whole e-mail address, such as name@example.com."}});
    TScribe *seats = applicant.Next(QStringLiteral("Seats"), 8);
    seats->ScribeGeneralProps()->SetGeneralInputType(tbitNumeric);
    seats->VisualNumberProps()->SetNumberSeparateThousands(true);
    seats->VisualNumberProps()->SetNumberDecPlaces(0);
    SetMessages(seats, {{1, "Please enter the number of seats as a whole number."}});

    TFieldPlacer signIn(doc, two, letter.width());
    signIn.Next(QStringLiteral("UserName"), 8);
    TScribe *password = signIn.Next(QStringLiteral("Password"), 8);
    password->ScribeGeneralProps()->SetGeneralInputType(tbitPassword);
    TScribe *repeat = signIn.Next(QStringLiteral("RepeatPassword"), 8);
    repeat->ScribeGeneralProps()->SetGeneralInputType(tbitPassword);
    repeat->ScribeValidationProps()->SetValidationMustAlsoMatch(QStringLiteral("Password"));
    SetMessages(repeat, {{3, "The two passwords are not the same. Please type it again."}});
    signIn.Next(QStringLiteral("Remarks"), 30);
    doc.Settings(one)->SetPageDefaultFocus(QStringLiteral("ApplicantName"));
    doc.Settings(two)->SetPageDefaultFocus(QStringLiteral("UserName"));
    return doc.Save(path);
}

// An invoice on A4: three lines of quantity times unit price, then the
// subtotal, the tax at 8 % and the total, all computed as the user types.
constexpr double kInvoiceTopMm = 45;
constexpr double kInvoiceRowMm = 11;
constexpr int kInvoiceLines = 3;
// Columns: description, quantity, unit price, amount (left edge and width).
constexpr double kInvoiceColumns[4][2] = {{15, 80}, {100, 25}, {130, 30}, {165, 30}};

QByteArray InvoiceSheet(QSizeF paperMm)
{
    QImage image = NewSheet(paperMm, QStringLiteral("Invoice"));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont label(QStringLiteral("Liberation Sans"));
    label.setPixelSize(Px(3.5));
    label.setBold(true);
    p.setFont(label);
    const char *headings[] = {"Description", "Quantity", "Unit price", "Amount"};
    for (int c = 0; c < 4; ++c)
        p.drawText(QPointF(Px(kInvoiceColumns[c][0]), Px(kInvoiceTopMm - 3)),
                   QString::fromLatin1(headings[c]));
    label.setBold(false);
    p.setFont(label);
    const char *totals[] = {"Subtotal", "Tax (8 %)", "Total"};
    for (int r = 0; r < 3; ++r)
        p.drawText(QPointF(Px(kInvoiceColumns[2][0]),
                           Px(kInvoiceTopMm + (kInvoiceLines + r + 0.5) * kInvoiceRowMm + 5.5)),
                   QString::fromLatin1(totals[r]));
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawText(QPointF(Px(15), Px(paperMm.height() - 12)),
               QStringLiteral("Velora example form. Amounts and totals are calculated."));
    p.end();
    return EncodePng(image);
}

bool WriteInvoice(const QString &path)
{
    TDocumentBuilder doc;
    const QSizeF a4(210, 297);
    const int page = AddPage(doc, QStringLiteral("Invoice"), 9, InvoiceSheet(a4));
    const double pxPerMm = doc.View(page)->PaperRect().width() / a4.width();
    const auto at = [pxPerMm](int column, double row) {
        const auto px = [pxPerMm](double mm) {
            return int(mm * pxPerMm + 0.5);
        };
        return QRect(px(kInvoiceColumns[column][0]), px(kInvoiceTopMm + row * kInvoiceRowMm),
                     px(kInvoiceColumns[column][1]), px(8));
    };
    int tabOrder = 0;
    const auto style = [](TVisualPgCtrl *box) {
        box->VisualCharacterProps()->SetCharacterSize(11);
        box->VisualBorderProps()->SetBorderWidth(1);
        box->VisualBorderProps()->SetBorderColor(kFrame);
        box->VisualPadProps()->SetPadLeft(3);
        box->VisualPadProps()->SetPadRight(3);
        box->VisualParagraphProps()->SetParagraphVertAlign(taVerticalCenter);
    };
    const auto input = [&](const QString &name, int column, double row, int decimals) {
        auto *box = doc.Add<TScribe>(page, name, at(column, row));
        style(box);
        box->VisualFillProps()->SetFillColor(kField);
        box->SetTabOrder(tabOrder++);
        box->VisualNumberProps()->SetNumberDisplayZero(false);
        if (decimals >= 0) {
            box->ScribeGeneralProps()->SetGeneralInputType(tbitNumeric);
            box->VisualNumberProps()->SetNumberDecPlaces(decimals);
            box->VisualNumberProps()->SetNumberSeparateThousands(true);
            box->VisualParagraphProps()->SetParagraphHorzAlign(taRightJustify);
        }
        return box;
    };
    const auto calc = [&](const QString &name, double row, const QString &expression) {
        auto *box = doc.Add<TCalc>(page, name, at(3, row));
        style(box);
        box->VisualFillProps()->SetFillColor(TColor::FromRGB(0xF4, 0xF4, 0xF4));
        box->VisualNumberProps()->SetNumberDecPlaces(2);
        box->VisualNumberProps()->SetNumberSeparateThousands(true);
        box->VisualNumberProps()->SetNumberDisplayZero(false);
        box->SetCalcExpression(expression);
        return box;
    };
    QStringList amounts;
    for (int line = 1; line <= kInvoiceLines; ++line) {
        const QString n = QString::number(line);
        input(QStringLiteral("Item") + n, 0, line - 1, -1);
        input(QStringLiteral("Qty") + n, 1, line - 1, 0);
        input(QStringLiteral("Price") + n, 2, line - 1, 2);
        calc(QStringLiteral("Amount") + n, line - 1, QStringLiteral("Qty%1 * Price%1").arg(line));
        amounts << QStringLiteral("Amount") + n;
    }
    calc(QStringLiteral("Subtotal"), kInvoiceLines + 0.5, amounts.join(QStringLiteral(" + ")));
    calc(QStringLiteral("Tax"), kInvoiceLines + 1.5, QStringLiteral("Subtotal * 0.08"));
    TCalc *total
        = calc(QStringLiteral("Total"), kInvoiceLines + 2.5, QStringLiteral("Subtotal + Tax"));
    total->VisualCharacterProps()->SetCharacterStyle(TCharacterStyles(csBold));
    doc.Settings(page)->SetPageDefaultFocus(QStringLiteral("Item1"));
    return doc.Save(path);
}

// A registration on A4 with combo boxes: a title chosen from a list only, a
// name, and a country picked from a list or typed.
bool WriteRegistration(const QString &path)
{
    TDocumentBuilder doc;
    const QSizeF a4(210, 297);
    const QList<TSheetField> fields = {{QStringLiteral("Title"), 8},
                                       {QStringLiteral("Full name"), 8},
                                       {QStringLiteral("Country"), 8}};
    const int page = AddPage(doc, QStringLiteral("Registration"), 9,
                             FieldSheet(a4, QStringLiteral("Registration"), fields, QString(), 0));
    const double pxPerMm = doc.View(page)->PaperRect().width() / a4.width();
    const auto px = [pxPerMm](double mm) {
        return int(mm * pxPerMm + 0.5);
    };
    const auto style = [](TVisualPgCtrl *box) {
        box->VisualCharacterProps()->SetCharacterSize(11);
        box->VisualBorderProps()->SetBorderWidth(1);
        box->VisualBorderProps()->SetBorderColor(kFrame);
        box->VisualFillProps()->SetFillColor(kField);
        box->VisualPadProps()->SetPadLeft(3);
        box->VisualParagraphProps()->SetParagraphVertAlign(taVerticalCenter);
    };
    const auto at = [&](int field, double widthMm) {
        return QRect(px(kFieldLeftMm), px(kFirstFieldMm + field * (8 + kFieldGapMm)), px(widthMm),
                     px(8));
    };
    const auto combo = [&](const QString &name, int field, double widthMm) {
        auto *box = doc.Add<TCombo>(page, name, at(field, widthMm));
        style(box);
        box->ComboListProps()->ListCharacterProps()->SetCharacterSize(11);
        box->ComboListProps()->ListBorderProps()->SetBorderWidth(1);
        box->ComboListProps()->ListBorderProps()->SetBorderColor(kFrame);
        box->ComboListProps()->ListPadProps()->SetPadLeft(3);
        return box;
    };

    TCombo *title = combo(QStringLiteral("Title"), 0, 40);
    title->ComboListProps()->SetListType(ctDropDownList);
    title->ComboListProps()->SetListItems(QStringLiteral("Mr;Mrs;Ms;Mx;Dr;Prof"));
    title->ComboGeneralProps()->SetGeneralPrompt(QStringLiteral("Choose"));
    title->VisualValidationProps()->SetValidationRequired(true);
    title->SetTabOrder(0);
    auto *name
        = doc.Add<TScribe>(page, QStringLiteral("FullName"), at(1, a4.width() - kFieldLeftMm - 15));
    style(name);
    name->SetTabOrder(1);

    TCombo *country = combo(QStringLiteral("Country"), 2, 90);
    country->ComboListProps()->SetListItems(QStringLiteral(
        "Argentina;Australia;Austria;Belgium;Brazil;Canada;Chile;China;Denmark;Egypt;Finland;"
        "France;Germany;Greece;India;Indonesia;Ireland;Italy;Japan;Kenya;Mexico;Netherlands;"
        "New Zealand;Nigeria;Norway;Peru;Poland;Portugal;South Africa;Spain;Sweden;Switzerland;"
        "Turkey;United Kingdom;United States"));
    country->ComboListProps()->SetListDropRows(10);
    country->ComboGeneralProps()->SetGeneralPrompt(QStringLiteral("Choose or type a country"));
    country->SetTabOrder(2);
    doc.Settings(page)->SetPageDefaultFocus(title->Name());
    return doc.Save(path);
}

// A feedback form on A4 whose buttons check and save it, e-mail it (the user
// reviews the message first; without a mail server it goes to the desktop's
// mail program) and print it.
bool WriteFeedback(const QString &path)
{
    TDocumentBuilder doc;
    const QSizeF a4(210, 297);
    const QList<TSheetField> fields = {{QStringLiteral("Your name"), 8},
                                       {QStringLiteral("E-mail"), 8},
                                       {QStringLiteral("Comments"), 30}};
    const int page = AddPage(doc, QStringLiteral("Feedback"), 9,
                             FieldSheet(a4, QStringLiteral("Feedback"), fields, QString(), 0));
    TFieldPlacer place(doc, page, a4.width());
    TScribe *name = place.Next(QStringLiteral("YourName"), 8);
    name->VisualValidationProps()->SetValidationRequired(true);
    SetMessages(name, {{0, "Please enter your name."}});
    TScribe *email = place.Next(QStringLiteral("Email"), 8);
    email->ScribeGeneralProps()->SetGeneralInputType(tbitEmail);
    place.Next(QStringLiteral("Comments"), 30);

    const double pxPerMm = doc.View(page)->PaperRect().width() / a4.width();
    const auto button = [&](const QString &name, const QString &caption, double leftMm,
                            const QList<TButtonAction> &actions) {
        auto *added = doc.Add<TButton>(page, name,
                                       QRect(int(leftMm * pxPerMm + 0.5), int(112 * pxPerMm + 0.5),
                                             int(40 * pxPerMm + 0.5), int(9 * pxPerMm + 0.5)));
        // The builder places visual elements only; a button takes its place on the paper here.
        added->CalcRelBounds(true, true, true, true, true, true);
        added->SetCaption(caption);
        added->SetActions(actions);
    };
    button(QStringLiteral("CheckAndSave"), QStringLiteral("Check and Save"), kFieldLeftMm,
           {TButtonAction(bakValidate), TButtonAction(bakSave)});
    TButtonAction mail(bakEmail);
    mail.SetStr(ButtonParam::EmailTo, QStringLiteral("feedback@example.com"));
    mail.SetStr(ButtonParam::EmailSubject, QStringLiteral("Feedback"));
    mail.SetStr(ButtonParam::EmailBody, QStringLiteral("My feedback form is attached."));
    mail.SetBool(ButtonParam::EmailAttachDocument, true);
    mail.SetBool(ButtonParam::EmailUseDialog, true);
    button(QStringLiteral("EmailIt"), QStringLiteral("E-mail It"), kFieldLeftMm + 45,
           {TButtonAction(bakValidate), mail});
    TButtonAction print(bakPrint);
    print.SetInt(ButtonParam::PrintCopies, 1);
    print.SetBool(ButtonParam::PrintUseDialog, true);
    button(QStringLiteral("PrintIt"), QStringLiteral("Print"), kFieldLeftMm + 90, {print});
    doc.Settings(page)->SetPageDefaultFocus(name->Name());
    return doc.Save(path);
}

bool WriteWelcome(const QString &path)
{
    TDocumentBuilder doc;
    const struct
    {
        const char *Caption;
        int Paper; // printer paper code
        QSizeF SizeMm;
        const char *Title;
        QStringList Labels;
    } pages[] = {
        {"Employee",
         9,
         QSizeF(210, 297),
         "Employee Details",
         {QStringLiteral("Surname"), QStringLiteral("First names"), QStringLiteral("Address"),
          QStringLiteral("E-mail"), QStringLiteral("Salary")}},
        {"Contact",
         1,
         QSizeF(215.9, 279.4),
         "Emergency Contact",
         {QStringLiteral("Name"), QStringLiteral("Relationship"), QStringLiteral("Telephone")}},
    };
    for (const auto &page : pages) {
        const int index = doc.AddPage(QString::fromLatin1(page.Caption));
        TProjectPropsPageProps *settings = doc.Settings(index);
        {
            TGlobalFlagScope adding(GlobalAddingPage);
            settings->PagePaperProps()->SetPaperSize(page.Paper);
        }
        settings->PageBackgroundProps()->SetFileNameImage(
            PrintedSheet(page.SizeMm, QString::fromLatin1(page.Title), page.Labels));
        settings->SetPageDefaultView(dvFitToWidth);
    }
    return doc.Save(path);
}

// The first tutorial: a few labelled boxes whose texts say what to try.
bool WriteGettingStarted(const QString &path)
{
    TDocumentBuilder doc;
    const QSizeF a4(210, 297);
    const QList<TSheetField> fields = {{QStringLiteral("Typing"), 8},
                                       {QStringLiteral("Moving on"), 8},
                                       {QStringLiteral("Designing"), 22},
                                       {QStringLiteral("Saving"), 8}};
    const int page = AddPage(
        doc, QStringLiteral("Getting Started"), 9,
        FieldSheet(a4, QStringLiteral("Tutorial 1: Getting Started"), fields, QString(), 0));
    TFieldPlacer place(doc, page, a4.width());
    const struct
    {
        const char *Name;
        double HeightMm;
        const char *Text;
    } boxes[] = {{"Typing", 8, "Click into this box and type over this text."},
                 {"MovingOn", 8, "Press TAB for the next box, Shift+TAB for the one before."},
                 {"Designing", 22,
                  "Press F4 to design the form: drag a box to move it, drag a corner to size "
                  "it, and press F5 for its properties. F4 again fills it in."},
                 {"Saving", 8, "Press Ctrl+S to keep the form in a .vld file."}};
    for (const auto &box : boxes)
        place.Next(QString::fromLatin1(box.Name), box.HeightMm)
            ->SetText(QString::fromLatin1(box.Text));
    doc.Settings(page)->SetPageDefaultFocus(QStringLiteral("Typing"));
    return doc.Save(path);
}

// The second tutorial: two pages, a comb box and the checks a form makes.
bool WriteFormBasics(const QString &path)
{
    TDocumentBuilder doc;
    const QSizeF a4(210, 297);
    const QList<TSheetField> first
        = {{QStringLiteral("About pages"), 22}, {QStringLiteral("Name"), 8}};
    const QList<TSheetField> second
        = {{QStringLiteral("About checks"), 22}, {QStringLiteral("E-mail"), 8}};
    const int one = AddPage(doc, QStringLiteral("Pages"), 9,
                            FieldSheet(a4, QStringLiteral("Tutorial 2: Form Basics"), first,
                                       QStringLiteral("Member number"), 8));
    const int two
        = AddPage(doc, QStringLiteral("Checks"), 9,
                  FieldSheet(a4, QStringLiteral("Tutorial 2: Checks"), second, QString(), 0));

    TFieldPlacer pages(doc, one, a4.width());
    pages.Next(QStringLiteral("AboutPages"), 22)
        ->SetText(QStringLiteral("A form can have many pages: the tabs above show them, and "
                                 "Ctrl+Page Down turns to the next. While designing, the Page "
                                 "menu adds and removes pages."));
    TScribe *name = pages.Next(QStringLiteral("Name"), 8);
    name->VisualValidationProps()->SetValidationRequired(true);
    SetMessages(name, {{0, "Please enter your name: this box must be filled in."}});
    // A comb box: one character a cell, digits only, as on printed stationery.
    TScribe *member = pages.Comb(QStringLiteral("MemberNumber"), 8);
    member->VisualGeneralProps()->SetGeneralRestrictTo(QStringLiteral("0123456789"));

    TFieldPlacer checks(doc, two, a4.width());
    checks.Next(QStringLiteral("AboutChecks"), 22)
        ->SetText(QStringLiteral("Boxes can check what is typed: the name is required and the "
                                 "e-mail must be a whole address. View > Validate Form tells "
                                 "what is missing."));
    TScribe *email = checks.Next(QStringLiteral("Email"), 8);
    email->ScribeGeneralProps()->SetGeneralInputType(tbitEmail);
    SetMessages(email, {{2, "Please enter a whole e-mail address, such as name@example.com."}});
    doc.Settings(one)->SetPageDefaultFocus(QStringLiteral("Name"));
    doc.Settings(two)->SetPageDefaultFocus(QStringLiteral("Email"));
    return doc.Save(path);
}
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    GlobalInitPaths();
    if (argc < 2) {
        std::fprintf(stderr, "usage: generate-examples OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "generate-examples: cannot create %s\n", argv[1]);
        return 1;
    }
    // Paper sizes come from the built-in printer, the same on every machine.
    PrinterService().SetPrinter(TPrinterService::BuiltInPrinterName);
    // The tutorials and examples the designer lists at its first start are installed
    // under these names.
    const std::pair<const char *, bool (*)(const QString &)> forms[] = {
        {"Employee.vld", WriteEmployee},
        {"Application.vld", WriteApplication},
        {"Welcome.vld", WriteWelcome},
        {"Invoice.vld", WriteInvoice},
        {"Registration.vld", WriteRegistration},
        {"Feedback.vld", WriteFeedback},
        {"Tutorials/Tutorial_1_Getting_Started.vld", WriteGettingStarted},
        {"Tutorials/Tutorial_2_Form_Basics.vld", WriteFormBasics},
        {"Example Forms/Employee_Details_31_US.vld", WriteEmployee},
        {"Example Forms/corvale_contact_form.vld", WriteFeedback},
        {"Example Forms/Velora_Plug-in_Examples.vld", WriteRegistration},
        {"Example Forms/Invoice_49_US.vld", WriteInvoice},
    };
    for (const auto &[file, write] : forms) {
        const QString path = QDir(folder).filePath(QString::fromLatin1(file));
        if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !write(path)) {
            std::fprintf(stderr, "generate-examples: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
