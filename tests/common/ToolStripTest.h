#pragma once
// A test with a tool panel strip named "ProToolPanelTab" on a form of its
// own at (100, 100, 600, 400). Slides step without waiting after the test.
#include <gtest/gtest.h>

#include "controls/ToolPanels.h"
#include "platform/gui/Forms.h"

struct TToolStripTest : ::testing::Test {
    TForm* form = nullptr;
    TProToolPanelTab* strip = nullptr;
    // The form and the strip on it, not shown yet.
    void MakeStrip()
    {
        form = new TForm(nullptr);
        form->SetBounds(100, 100, 600, 400);
        strip = new TProToolPanelTab(form);
        strip->SetName("ProToolPanelTab");
        strip->SetParent(form);
    }
    void TearDown() override
    {
        TProToolPanelTab::SlideWait = [](TProToolPanelTab*, int) {};
        delete form;
    }
    // A new panel of the strip with the caption and, unless empty, the name.
    TProToolPanel* Add(const AnsiString& caption, const AnsiString& name = AnsiString())
    {
        TProToolPanel* p = strip->CreatePanel();
        p->SetCaption(caption);
        if (!name.empty())
            p->SetName(name);
        return p;
    }
};
