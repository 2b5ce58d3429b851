// Hostile input for the RTF reader of the rich edits and the clipboard: any bytes read as a
// document or as plain text, and what is read writes and reads back the same.
#include <gtest/gtest.h>

#include "platform/gui/RichEdit.h"
#include "platform/gui/Rtf_p.h"
#include "tests/common/Fuzz.h"

TEST(Fuzz, RtfReadsAnyBytes)
{
    const std::vector<std::string> samples = {
        "{\\rtf1\\ansi\\ansicpg1250\\deff0{\\fonttbl{\\f0\\fnil\\fcharset238 Tahoma;}{\\f1 Arial;}}"
        "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
        "\\viewkind4\\uc1\\pard\\qc\\cf1\\b\\f0\\fs20 Zast\\'b9piona\\b0\\par\\pard\\qr\\cf2\\i\\fs28 uznaniowo\\i0"
        "\\line\\u261?\\tab koniec\\par}",
        "{\\rtf1{\\*\\generator x;}{\\info{\\title t}}\\pard\\ul podkre\\'9blenie\\ulnone\\strike s\\strike0\\par}",
        "  {\\rtf1\\ansi \\{nawiasy\\}\\\\ \\'e6\\'f3\\'b3\\'9f\\par\\pard\\ql\\fs-4\\cf99\\f77 x\\par}",
    };
    FuzzParser("RTF", samples, 500, 211, [](const std::string& bytes) {
        TRtfDocument doc = ReadRtf(bytes);
        // What was read writes a document that reads back the same.
        TRtfDocument again = ReadRtf(WriteRtf(doc));
        EXPECT_EQ(again.Paragraphs.size(), doc.Paragraphs.size());
        RtfToPlainText(bytes);
        return LooksLikeRtf(bytes);
    });
}
