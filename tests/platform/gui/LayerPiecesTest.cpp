#include <gtest/gtest.h>

#include "platform/gui/CommonDialogs.h"
#include "platform/gui/ExtCtrls.h"
#include "platform/gui/SysInfo.h"
#include "platform/gui/TestSupport.h"
#include "tests/common/FormTest.h"

namespace {
struct LayerPieces : TFormTest {
    void SetUp() override { MakeForm(200, 100); }
};
}  // namespace

TEST_F(LayerPieces, PeekMessageTakesOneWaitingMessageOfTheWindow)
{
    auto* a = Place<TPanel>(0, 0, 50, 50);
    auto* b = Place<TPanel>(50, 0, 50, 50);
    std::vector<UINT> seen;
    for (auto* p : {a, b})
        p->AddMessageHook([&seen](TMessage& m) {
            if (m.Msg >= WM_USER)
                seen.push_back(m.Msg);
            return false;
        });
    PostMessage(a->Handle(), WM_USER + 1, 0, 0);
    PostMessage(b->Handle(), WM_USER + 2, 7, 0);
    PostMessage(a->Handle(), WM_USER + 3, 0, 0);
    TMsg msg;
    // Looking leaves it; the filter and the window choose it.
    ASSERT_TRUE(PeekMessage(msg, b->Handle(), 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER + 2u);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessage(msg, a->Handle(), WM_USER + 2, WM_USER + 2, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(msg, a->Handle(), WM_USER + 3, WM_USER + 9, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_USER + 3u);
    ProcessPendingMessages();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    EXPECT_FALSE(PeekMessage(msg, 0, 0, 0, PM_NOREMOVE));
}

TEST_F(LayerPieces, ImageListIsAComponentOfItsForm)
{
    auto* images = new TImageList(Form);
    images->SetName("Obrazki");
    EXPECT_EQ(Form->FindComponent("obrazki"), images);
    EXPECT_EQ(images->Width(), 16);
    TBitmap strip;
    strip.SetSize(48, 16);
    EXPECT_EQ(images->Add(&strip, nullptr), 0);
    EXPECT_EQ(images->Count(), 3);
    TImageList copy(8, 8);
    copy.Assign(images);
    EXPECT_EQ(copy.Count(), 3);
    EXPECT_EQ(copy.Owner(), nullptr);
}

TEST_F(LayerPieces, PictureDialogsAnswerUnderTheirNamesWithThePictureFilter)
{
    TOpenPictureDialog open(nullptr);
    TSavePictureDialog save(nullptr);
    EXPECT_EQ(open.Filter().substr(0, 5), "All (");
    EXPECT_NE(open.Filter().find("|*.png"), AnsiString::npos);
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TOpenPictureDialog", IDOK,
                                 [](TDialogRequest& r) { r.Values = {"/tmp/a.png"}; });
    ScriptDialogs().ExpectDialog(dkCommonDialog, "TSavePictureDialog", IDCANCEL);
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName(), "/tmp/a.png");
    EXPECT_FALSE(save.Execute());
}

TEST_F(LayerPieces, SystemMetricsMatchTheScreen)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), Screen->Width());
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), Screen->Height());
    for (int m : {SM_CXVSCROLL, SM_CYCAPTION, SM_CXEDGE, SM_CXSMICON, SM_CXICON, SM_CXDRAG, SM_CYMENU})
        EXPECT_GT(GetSystemMetrics(m), 0) << m;
    EXPECT_EQ(GetSystemMetrics(9999), 0);
}
