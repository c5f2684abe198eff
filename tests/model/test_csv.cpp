// Data files as spreadsheets and scripts write them: quoting, line breaks,
// byte-order marks, and files that are not CSV said to be so with their line.

#include "CCsv.h"

#include <gtest/gtest.h>

namespace {
QList<QStringList> Fields(const QList<TCsvRecord> &records)
{
    QList<QStringList> fields;
    for (const TCsvRecord &record : records)
        fields << record.Fields;
    return fields;
}
} // namespace

TEST(Csv, QuotedFieldsHoldCommasQuotesAndLineBreaks)
{
    const QByteArray text = "\xEF\xBB\xBF"
                            "Name,Address,Note\r\n"
                            "\"Smith, Jane\",\"1 \"\"Main\"\" St\r\nFlat 2\",\r\n"
                            "\n"
                            "Zo\xC3\xAB,\"\",last\n"
                            "x,y,\"end\"";
    QList<TCsvRecord> records;
    QString error;
    ASSERT_TRUE(ReadCsv(text, records, error)) << error.toStdString();
    EXPECT_EQ(Fields(records),
              (QList<QStringList> {{"Name", "Address", "Note"},
                                   {"Smith, Jane", "1 \"Main\" St\r\nFlat 2", ""},
                                   {QString::fromUtf8("Zo\xC3\xAB"), "", "last"},
                                   {"x", "y", "end"}}));
    // The blank line is no record, and a quoted line break moves the lines on.
    EXPECT_EQ(records.at(1).Line, 2);
    EXPECT_EQ(records.at(2).Line, 5);
    EXPECT_EQ(records.at(3).Line, 6);

    // What the writer quotes reads back as it was.
    const QStringList awkward {"a,b", "say \"hi\"", "two\nlines", " padded ", "plain", ""};
    ASSERT_TRUE(ReadCsv(CsvRecord(awkward).toUtf8() + CsvRecord({"x"}).toUtf8(), records, error));
    EXPECT_EQ(records.first().Fields, awkward);
    EXPECT_EQ(CsvRecord({"plain", "x"}), QStringLiteral("plain,x\r\n"));
}

TEST(Csv, TextThatIsNotCsvIsRefusedWithItsLine)
{
    const struct
    {
        QByteArray Text;
        const char *Error;
    } cases[] = {
        {"a,b\n1,\"open\n2,3\n", "line 2: a quoted field is never closed"},
        {"a,b\n1,\"x\"y\n", "line 2: text after the closing quote of a field"},
        {"a,b\n\"x\ny\",z\n1,ab\"c\n", "line 4: a double quote inside a field"},
        {"a,b\n1,2\nbad\xFF\xFE,3\n", "line 3: the text is not UTF-8"},
    };
    for (const auto &c : cases) {
        QList<TCsvRecord> records;
        QString error;
        EXPECT_FALSE(ReadCsv(c.Text, records, error)) << c.Error;
        EXPECT_TRUE(error.startsWith(QLatin1String(c.Error))) << error.toStdString();
        EXPECT_TRUE(records.isEmpty());
    }
}
