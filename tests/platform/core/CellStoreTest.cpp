#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/core/CellStore.h"
#include "platform/core/Classes.h"

namespace {
// What the store must hold: each stored row its cells, each a text and an object.
struct TModel {
    struct TCell { std::string Text; TObject* Object = nullptr; };
    std::vector<std::vector<TCell>> Rows;

    TCell& At(int ACol, int ARow, int AMinCols)
    {
        if (std::size_t(ARow) >= Rows.size())
            Rows.resize(std::size_t(ARow) + 1);
        auto& row = Rows[std::size_t(ARow)];
        if (std::size_t(ACol) >= row.size())
            row.resize(std::max<std::size_t>(std::size_t(ACol) + 1, std::size_t(AMinCols)));
        return row[std::size_t(ACol)];
    }
};

void ExpectSame(const TCellStore& AStore, const TModel& AModel, int AStep)
{
    ASSERT_EQ(AStore.RowCount(), int(AModel.Rows.size())) << "step " << AStep;
    for (std::size_t r = 0; r < AModel.Rows.size(); ++r) {
        ASSERT_EQ(AStore.ColCount(int(r)), int(AModel.Rows[r].size())) << "step " << AStep << " row " << r;
        for (std::size_t c = 0; c < AModel.Rows[r].size(); ++c) {
            ASSERT_EQ(AStore.Text(int(c), int(r)), AModel.Rows[r][c].Text) << "step " << AStep << " cell " << c << "," << r;
            ASSERT_EQ(AStore.Object(int(c), int(r)), AModel.Rows[r][c].Object) << "step " << AStep;
        }
    }
    // Columns read at once give what Text gives one by one, also beyond the stored rows and cells.
    std::vector<int> rows(AModel.Rows.size() + 2);
    std::iota(rows.rbegin(), rows.rend(), 0);
    const int cols[] = {0, 3, 1, 40};
    std::vector<std::string_view> texts(std::size(cols) * rows.size());
    AStore.ColumnTexts(cols, std::size(cols), rows.data(), rows.size(), texts.data());
    for (std::size_t i = 0; i < std::size(cols); ++i)
        for (std::size_t k = 0; k < rows.size(); ++k)
            ASSERT_EQ(texts[i * rows.size() + k], AStore.Text(cols[i], rows[k])) << "step " << AStep;
    std::size_t live = 0;
    for (const auto& row : AModel.Rows)
        for (const auto& cell : row)
            live += cell.Text.size() > 15 ? cell.Text.size() : 0;
    ASSERT_EQ(AStore.LiveTextBytes(), live) << "step " << AStep;
}
}  // namespace

// Texts of every length (inside the cell and in the blocks), texts copied
// from the store's own cells (also from the cell written and from the
// middle of a longer text), objects, emptied rectangles, rows permuted and
// moved, columns moved and removed: the store always holds what a grid of strings
// would, also after it has copied its texts together to free dead ones.
TEST(CellStore, HoldsWhatAGridOfStringsHoldsThroughEveryChange)
{
    std::mt19937 rnd(41);
    auto pick = [&](int AFrom, int ATo) { return std::uniform_int_distribution<int>(AFrom, ATo)(rnd); };
    TObject objects[3];
    TCellStore store;
    TModel model;
    const int minCols = 5;
    auto randomText = [&]() {
        static const int lengths[] = {0, 1, 14, 15, 16, 17, 40, 300, 5000};
        const int n = lengths[pick(0, 8)];
        std::string s(std::size_t(n), ' ');
        for (char& ch : s)
            ch = char(pick(32, 255));
        return s;
    };
    for (int step = 0; step < 6000; ++step) {
        const int rows = int(model.Rows.size());
        switch (pick(0, 12)) {
        case 0: case 1: case 2: case 3: {
            const int c = pick(0, 7), r = pick(0, 40);
            const std::string text = randomText();
            store.SetText(c, r, text, minCols);
            model.At(c, r, minCols).Text = text;
            break;
        }
        case 4: case 5: {
            // A text of the store itself, whole or a part of it.
            if (rows == 0)
                break;
            const int fr = pick(0, rows - 1), fc = pick(0, std::max(0, store.ColCount(fr) - 1));
            const int c = pick(0, 1) ? fc : pick(0, 7), r = pick(0, 1) ? fr : pick(0, 40);
            std::string_view from = store.Text(fc, fr);
            const std::size_t skip = from.empty() ? 0 : std::size_t(pick(0, int(from.size()) - 1));
            from.remove_prefix(pick(0, 1) ? skip : 0);
            const std::string expected(from);
            store.SetText(c, r, from, minCols);
            model.At(c, r, minCols).Text = expected;
            break;
        }
        case 6: {
            const int c = pick(0, 7), r = pick(0, 40);
            TObject* o = pick(0, 3) ? &objects[pick(0, 2)] : nullptr;
            store.SetObject(c, r, o, minCols);
            model.At(c, r, minCols).Object = o;
            break;
        }
        case 7: {
            const int c0 = pick(0, 7), r0 = pick(0, 45), c1 = pick(c0, 9), r1 = pick(r0, 50);
            store.ClearTexts(c0, r0, c1, r1);
            for (int r = r0; r <= r1 && r < rows; ++r)
                for (int c = c0; c <= c1 && std::size_t(c) < model.Rows[std::size_t(r)].size(); ++c)
                    model.Rows[std::size_t(r)][std::size_t(c)].Text.clear();
            break;
        }
        case 8: {
            // Rows from AFrom on take their places anew; some are dropped, some come empty.
            if (rows < 2)
                break;
            const int from = pick(0, rows - 1), count = pick(1, rows - from);
            std::vector<int> source(static_cast<std::size_t>(count));
            std::iota(source.begin(), source.end(), from);
            std::shuffle(source.begin(), source.end(), rnd);
            for (int& s : source)
                if (pick(0, 9) == 0)
                    s = -1;
            store.PermuteRows(from, source);
            std::vector<std::vector<TModel::TCell>> moved(source.size());
            for (std::size_t i = 0; i < source.size(); ++i)
                if (source[i] >= 0)
                    moved[i] = model.Rows[std::size_t(source[i])];
            for (std::size_t i = 0; i < source.size(); ++i)
                model.Rows[std::size_t(from) + i] = moved[i];
            break;
        }
        case 9: {
            const int a = pick(0, 45), b = pick(0, 45);
            store.MoveRow(a, b);
            if (model.Rows.size() < std::size_t(std::max(a, b)) + 1)
                model.Rows.resize(std::size_t(std::max(a, b)) + 1);
            auto row = model.Rows[std::size_t(a)];
            model.Rows.erase(model.Rows.begin() + a);
            model.Rows.insert(model.Rows.begin() + b, row);
            break;
        }
        case 10: {
            const int a = pick(0, 8), b = pick(0, 8);
            store.MoveColumn(a, b);
            for (auto& row : model.Rows) {
                if (row.size() < std::size_t(std::max(a, b)) + 1)
                    row.resize(std::size_t(std::max(a, b)) + 1);
                auto cell = row[std::size_t(a)];
                row.erase(row.begin() + a);
                row.insert(row.begin() + b, cell);
            }
            break;
        }
        case 11: {
            // Columns taken out of the first rows: cells past the end stay, rows beyond are left alone.
            const int col = pick(0, 6), count = pick(1, 3), end = pick(col + 1, 9), upTo = pick(0, 45);
            store.RemoveColumns(col, count, end, upTo);
            if (model.Rows.size() < std::size_t(upTo))
                model.Rows.resize(std::size_t(upTo));
            for (int r = 0; r < upTo; ++r) {
                auto& row = model.Rows[std::size_t(r)];
                row.resize(std::max(row.size(), std::size_t(end)));
                const int n = std::min(count, end - col);
                row.erase(row.begin() + col, row.begin() + col + n);
                row.insert(row.begin() + (end - n), std::size_t(n), TModel::TCell());
            }
            break;
        }
        default: {
            // Many long texts over the same cells: dead bytes pile up until the store copies the living ones together.
            for (int k = 0; k < 200; ++k) {
                const int c = pick(0, 3), r = pick(0, 3);
                const std::string text(std::size_t(pick(16, 2000)), char('a' + k % 26));
                store.SetText(c, r, text, minCols);
                model.At(c, r, minCols).Text = text;
            }
            break;
        }
        }
        if (step % 25 == 0)
            ExpectSame(store, model, step);
        if (HasFatalFailure())
            return;
    }
    ExpectSame(store, model, -1);
}

// The bytes held for longer texts stay within what the living texts and the
// cells themselves ask for, however often texts are replaced; once no longer
// text is left, nothing is held.
TEST(CellStore, HoldsForItsTextsOnlyWhatTheyAskFor)
{
    struct TCase { int Cells; int Length; int Rounds; };
    for (const TCase& t : {TCase{1, 100, 20000}, TCase{1000, 40, 300}, TCase{50000, 20, 8}, TCase{10, 3'000'000, 6}}) {
        TCellStore store;
        std::size_t most = 0;
        for (int round = 0; round < t.Rounds; ++round) {
            for (int i = 0; i < t.Cells; ++i)
                store.SetText(i % 10, i / 10, std::string(std::size_t(t.Length + round % 3), char('a' + round % 26)), 10);
            const std::size_t cells = std::size_t(store.RowCount()) * 10 * 16;
            const std::size_t allowed = 2 * std::max({store.LiveTextBytes(), cells, std::size_t(64 * 1024)}) +
                                        std::max<std::size_t>(2 << 20, 2 * std::size_t(t.Length + 2));
            most = std::max(most, store.HeldTextBytes());
            ASSERT_LE(store.HeldTextBytes(), allowed) << t.Cells << " cells of " << t.Length << ", round " << round;
        }
        EXPECT_GT(most, 0u);
        store.ClearTexts(0, 0, 9, store.RowCount());
        EXPECT_EQ(store.LiveTextBytes(), 0u);
        EXPECT_EQ(store.HeldTextBytes(), 0u);
        EXPECT_EQ(store.Text(0, 0), "");
    }
}

// Rows written together on several threads hold what writing them row by
// row holds: over rows that held longer texts and objects, beyond the rows
// stored, with fewer cells than the rows have, texts viewing the thread's
// scratch; the bytes held stay close to those of rows written one by one; a row that raises
// leaves the rows written before it whole.
TEST(CellStore, RowsWrittenTogetherHoldWhatRowByRowHolds)
{
    struct TCase {
        const char* Name;
        int Before;   // rows written one by one first (longer texts, an object in every 7th)
        int First, Count, Cols, MinCols;
        int Raises;   // the row whose texts raise, -1 none
    } cases[] = {
        {"into an empty store", 0, 1, 20000, 7, 7, -1},
        {"over longer texts and objects", 9000, 0, 12000, 5, 8, -1},
        {"fewer cells than the rows hold", 3000, 100, 2500, 3, 3, -1},
        {"a few rows", 0, 2, 3, 4, 0, -1},
        {"a row raises", 0, 0, 10000, 4, 4, 7777},
    };
    TObject object;
    for (const TCase& t : cases) {
        TCellStore together, alone;
        TModel model;
        auto text = [](int ACol, int ARow, int ARound) {
            std::string s = std::to_string(ARow) + ":" + std::to_string(ACol);
            return ARow % 3 == 0 ? s : s + std::string(std::size_t(5 + (ARow * 7 + ACol) % 60), char('a' + ARound));
        };
        for (TCellStore* store : {&together, &alone})
            for (int r = 0; r < t.Before; ++r) {
                for (int c = 0; c < 6; ++c)
                    store->SetText(c, r, text(c, r, 0), 6);
                if (r % 7 == 0)
                    store->SetObject(2, r, &object, 6);
            }
        for (int r = 0; r < t.Before; ++r)
            for (int c = 0; c < 6; ++c) {
                model.At(c, r, 6).Text = text(c, r, 0);
                if (r % 7 == 0 && c == 2)
                    model.At(c, r, 6).Object = &object;
            }
        auto row = [&](int ARow, std::string_view* AValues, std::string& AScratch) {
            if (ARow == t.Raises)
                throw std::runtime_error("row");
            AScratch = text(0, ARow, 1);
            AValues[0] = AScratch;
            for (int c = 1; c < t.Cols; ++c)
                if ((ARow + c) % 5)
                    AValues[c] = c == 1 ? std::string_view("krótki") : std::string_view(AScratch).substr(std::size_t(c) % 3);
        };
        bool raised = false;
        try {
            together.SetRowsTexts(t.First, t.Count, t.Cols, t.MinCols, row);
        } catch (const std::runtime_error&) {
            raised = true;
        }
        EXPECT_EQ(raised, t.Raises >= 0) << t.Name;
        std::vector<std::string_view> values(std::size_t(t.Cols));
        std::string scratch;
        for (int r = t.First; r < t.First + t.Count && r != t.Raises; ++r) {
            std::fill(values.begin(), values.end(), std::string_view());
            row(r, values.data(), scratch);
            alone.SetTexts(0, r, values.data(), t.Cols, t.MinCols);
            for (int c = 0; c < t.Cols; ++c)
                model.At(c, r, std::max(t.Cols, t.MinCols)).Text = std::string(values[std::size_t(c)]);
        }
        if (raised) {
            // The rows of other threads may be written or not: those before the raising row are.
            for (int r = t.First; r < t.Raises; ++r)
                for (int c = 0; c < t.Cols; ++c)
                    ASSERT_EQ(together.Text(c, r), alone.Text(c, r)) << t.Name << " cell " << c << "," << r;
            continue;
        }
        ExpectSame(together, model, 0);
        ExpectSame(alone, model, 1);
        EXPECT_LE(together.HeldTextBytes(), alone.HeldTextBytes() + alone.HeldTextBytes() / 8 + (64 << 10)) << t.Name;
    }
}

#ifdef __SANITIZE_ADDRESS__
// Built for AddressSanitizer, a view of a longer text read after its cell
// changed is reported, and so is one read after the texts were copied together.
TEST(CellStoreDeathTest, AViewReadAfterItsCellChangedIsReported)
{
    EXPECT_DEATH(
        {
            TCellStore store;
            store.SetText(0, 0, std::string(40, 'x'), 2);
            store.SetText(1, 0, std::string(40, 'z'), 2);
            const std::string_view view = store.Text(0, 0);
            store.SetText(0, 0, "y", 2);
            volatile char c = view[3];
            (void)c;
        },
        "use-after-poison");
    EXPECT_DEATH(
        {
            TCellStore store;
            store.SetText(0, 0, std::string(40, 'x'), 1);
            const std::string_view view = store.Text(0, 0);
            for (int i = 0; i < 20000; ++i)
                store.SetText(1, 0, std::string(100, 'y'), 2);
            volatile char c = view[3];
            (void)c;
        },
        "heap-use-after-free");
}
#endif
