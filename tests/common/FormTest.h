#pragma once
// A test with a form of its own, shown offscreen. Controls are placed on it with Place; the form is freed
// after the test, which must leave no scripted dialog answer unused.
#include <gtest/gtest.h>

#include "platform/gui/Forms.h"
#include "platform/gui/TestSupport.h"

struct TFormTest : ::testing::Test {
    TForm* Form = nullptr;
    // The form at (10, 10), not shown yet.
    void MakeForm(int Width, int Height)
    {
        Form = new TForm(Application);
        Form->SetBounds(10, 10, Width, Height);
    }
    // A new control of type T on the form.
    template <class T>
    T* Place(int Left, int Top, int Width, int Height)
    {
        T* c = new T(Form);
        c->SetParent(Form);
        c->SetBounds(Left, Top, Width, Height);
        return c;
    }
    void TearDown() override
    {
        delete Form;
        EXPECT_TRUE(VerifyNoPendingDialogs()) << "a scripted dialog answer left unused";
        ClearRecordedDialogs();
    }
};

// A test with a form of its own, 400 x 300, at (Left, Left); Shown: shown, and what its freeing posts handled.
template <int Left, bool Shown>
struct TOwnFormTest : ::testing::Test {
    TForm* form = nullptr;
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBounds(Left, Left, 400, 300);
        if (Shown)
            form->Show();
    }
    void TearDown() override
    {
        delete form;
        if (Shown)
            ProcessPendingMessages();
    }
};
using TPlainFormTest = TOwnFormTest<0, false>;
using TShownFormTest = TOwnFormTest<10, true>;
