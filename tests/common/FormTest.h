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
        VerifyNoPendingDialogs();
        ClearRecordedDialogs();
    }
};

// A test with a form of its own at (0, 0), 400 x 300, not shown.
struct TPlainFormTest : ::testing::Test {
    TForm* form = nullptr;
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBounds(0, 0, 400, 300);
    }
    void TearDown() override { delete form; }
};

// A test with a form of its own at (10, 10), 400 x 300, shown; what its freeing posts is handled.
struct TShownFormTest : ::testing::Test {
    TForm* form = nullptr;
    void SetUp() override
    {
        form = new TForm(nullptr);
        form->SetBounds(10, 10, 400, 300);
        form->Show();
    }
    void TearDown() override
    {
        delete form;
        ProcessPendingMessages();
    }
};
