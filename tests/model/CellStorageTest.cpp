#include "model/CellStorage.h"
#include "model/Exception.h"
#include "model/XLSUtils.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

using TPlace = std::pair<int, int>; // Row, Col

void PutNumber(TCellStorage& S, int Col, int Row, double Value, int Format = 0)
{
    const int32_t Key = CellKey(Col, Row);
    S.Insert(Key, S.New<TFloatCell>(Key, Format, Value));
}

std::vector<TPlace> Walk(TCellStorage& S)
{
    std::vector<TPlace> Places;
    S.BeginIterate();
    while (TCell* Cell = S.GetNext())
        Places.emplace_back(Cell->Row(), Cell->Col());
    return Places;
}

TEST(CellStorage, EmptyStorageHasNothing)
{
    TCellStorage S;
    S.BeginIterate();
    EXPECT_EQ(S.GetNext(), nullptr);
    EXPECT_EQ(S.Find(0), nullptr);
    EXPECT_EQ(S.Find(CellKey(255, 65535)), nullptr);
    EXPECT_EQ(S.Find(-1), nullptr);
    EXPECT_EQ(S.Count(), 0);
}

TEST(CellStorage, IteratesInRowThenColumnOrderAcrossPagesRowsBlocksAndSlots)
{
    TCellStorage S;
    const TPlace Inserted[] = {{0, 5}, {0, 3}, {1, 0}, {256, 0}, {0, 18}, {65535, 255}, {0, 2}, {255, 17}};
    for (auto [Row, Col] : Inserted)
        PutNumber(S, Col, Row, Row * 1000 + Col);
    const std::vector<TPlace> Expected = {{0, 2},   {0, 3},   {0, 5},     {0, 18},
                                          {1, 0},   {255, 17}, {256, 0}, {65535, 255}};
    EXPECT_EQ(Walk(S), Expected);
    // Stays at the end until the next BeginIterate.
    EXPECT_EQ(S.GetNext(), nullptr);
    EXPECT_EQ(S.GetNext(), nullptr);
    EXPECT_EQ(Walk(S), Expected);
}

TEST(CellStorage, CursorIsAPositionNotASnapshot)
{
    TCellStorage S;
    PutNumber(S, 0, 10, 1);
    PutNumber(S, 0, 20, 2);
    S.BeginIterate();
    ASSERT_EQ(S.GetNext()->Row(), 10);
    PutNumber(S, 0, 5, 3);  // behind the cursor
    PutNumber(S, 1, 10, 4); // just ahead of it, in the same block
    PutNumber(S, 0, 300, 5);
    std::vector<int> Rows;
    while (TCell* Cell = S.GetNext())
        Rows.push_back(Cell->Row() * 10 + Cell->Col());
    EXPECT_EQ(Rows, (std::vector<int>{101, 200, 3000}));
}

TEST(CellStorage, FindRemembersHitsOnly)
{
    TCellStorage S;
    PutNumber(S, 2, 7, 1.5);
    PutNumber(S, 18, 7, 2.5); // same row, another block
    TCell* Hit = S.Find(CellKey(2, 7));
    ASSERT_NE(Hit, nullptr);
    EXPECT_EQ(S.LastCell(), Hit);
    EXPECT_EQ(static_cast<TFloatCell*>(Hit)->Value, 1.5);
    EXPECT_EQ(S.Find(CellKey(3, 7)), nullptr);  // empty slot of an existing block
    EXPECT_EQ(S.Find(CellKey(40, 7)), nullptr); // missing block
    EXPECT_EQ(S.Find(CellKey(2, 8)), nullptr);  // missing row
    EXPECT_EQ(S.LastCell(), Hit);
    EXPECT_EQ(static_cast<TFloatCell*>(S.Find(CellKey(18, 7)))->Value, 2.5);
}

TEST(CellStorage, ReplacementFreesTheOldCellAndInheritsItsFormat)
{
    struct Case {
        int NewFormat;
        int Kept;
    };
    const Case Cases[] = {{5, 5}, {0, 21}, {-1, 21}};
    for (const Case& C : Cases) {
        TCellStorage S;
        const int32_t Key = CellKey(4, 3);
        S.Insert(Key, S.New<TFloatCell>(Key, 21, 1.0));
        S.Insert(Key, S.New<TBooleanCell>(Key, C.NewFormat, true));
        TCell* Cell = S.Find(Key);
        ASSERT_NE(Cell, nullptr);
        EXPECT_EQ(Cell->CellType(), ctBoolean);
        EXPECT_EQ(Cell->FormatIndex, C.Kept) << C.NewFormat;
        EXPECT_EQ(S.Count(), 1);
        EXPECT_EQ(Walk(S).size(), 1u);
    }
}

TEST(CellStorage, InsertingTheCellAlreadyThereFreesNothing)
{
    TCellStorage S;
    const int32_t Key = CellKey(1, 1);
    S.Insert(Key, S.New<TFloatCell>(Key, 0, 9.0));
    TCell* Same = S.Find(Key);
    S.Insert(Key, TCellPtr<>(Same, TCellDeleter{&S}));
    EXPECT_EQ(S.Find(Key), Same);
    EXPECT_EQ(static_cast<TFloatCell*>(Same)->Value, 9.0);
    EXPECT_EQ(S.Count(), 1);
}

TEST(CellStorage, ReplacedCellsMemoryIsReused)
{
    TCellStorage S;
    PutNumber(S, 0, 0, 0);
    const size_t Before = S.BytesReserved();
    for (int I = 0; I < 100000; ++I)
        PutNumber(S, 0, 0, I);
    EXPECT_EQ(S.BytesReserved(), Before);
    EXPECT_EQ(static_cast<TFloatCell*>(S.Find(0))->Value, 99999);
}

TEST(CellStorage, ClearForgetsTheCacheAndStartsFromEmptyPages)
{
    TCellStorage S;
    PutNumber(S, 1, 1, 1);
    ASSERT_NE(S.Find(CellKey(1, 1)), nullptr);
    S.Clear();
    EXPECT_EQ(S.LastCell(), nullptr);
    EXPECT_EQ(S.Find(CellKey(1, 1)), nullptr);
    EXPECT_EQ(S.Count(), 0);
    EXPECT_EQ(S.BytesReserved(), 0u);
    PutNumber(S, 1, 1, 2);
    EXPECT_EQ(static_cast<TFloatCell*>(S.Find(CellKey(1, 1)))->Value, 2);
    EXPECT_EQ(Walk(S).size(), 1u);
}

TEST(CellStorage, RowsOutsideTheSheetAreRefused)
{
    TCellStorage S;
    const int32_t Keys[] = {CellKey(0, 65536), CellKey(3, -1), INT32_MAX};
    const char* Messages[] = {"Row 65536 is outside the sheet (rows 0 to 65535)",
                              "Row -1 is outside the sheet (rows 0 to 65535)",
                              "Row 8388607 is outside the sheet (rows 0 to 65535)"};
    for (size_t I = 0; I < std::size(Keys); ++I) {
        try {
            S.Insert(Keys[I], S.New<TBlankCell>(Keys[I], 0));
            ADD_FAILURE() << "no exception for " << Keys[I];
        } catch (const Exception& E) {
            EXPECT_STREQ(E.what(), Messages[I]);
        }
    }
    EXPECT_EQ(S.Count(), 0);
    EXPECT_EQ(S.Find(CellKey(0, 65536)), nullptr);
}

TEST(CellStorage, CellsOfAnotherStorageAreRefused)
{
    TCellStorage S, Other;
    EXPECT_THROW(S.Insert(0, Other.New<TBlankCell>(0, 0)), Exception);
    EXPECT_THROW(S.Insert(0, TCellPtr<>()), Exception);
    EXPECT_EQ(S.Count(), 0);
}

TEST(CellStorage, MakeCopyCarriesKeyFormatAndPayload)
{
    TCellStorage S, Target;
    const uint8_t Tokens[] = {0x1E, 0x05, 0x00};
    const uint8_t Array[] = {1, 2, 3, 4, 5};

    auto Num = S.New<TNumberFormulaCell>(CellKey(1, 2), 7, Tokens, 3);
    Num->Value = 42;
    auto NumCopy = Num->MakeCopy(Target);
    ASSERT_EQ(NumCopy->CellType(), ctNumberFormula);
    auto& N = static_cast<TNumberFormulaCell&>(*NumCopy);
    EXPECT_EQ(N.RowCol, CellKey(1, 2));
    EXPECT_EQ(N.FormatIndex, 7);
    EXPECT_EQ(N.Value, 0.0);
    ASSERT_EQ(N.FormulaSize, 3);
    EXPECT_NE(N.Formula, Num->Formula);
    EXPECT_NE(N.Formula, Tokens);
    EXPECT_EQ(std::vector<uint8_t>(N.Formula, N.Formula + 3), std::vector<uint8_t>(Tokens, Tokens + 3));

    auto Arr = S.New<TArrayFormulaCell>(5, 1, Tokens, 3, Array, 5);
    Arr->Value = 3;
    auto ArrCopy = Arr->MakeCopy(Target);
    auto& A = static_cast<TArrayFormulaCell&>(*ArrCopy);
    EXPECT_EQ(A.CellType(), ctArrayFormula);
    EXPECT_EQ(A.Value, 0.0);
    ASSERT_EQ(A.ArraySize, 5);
    EXPECT_NE(A.ArrayData, Arr->ArrayData);
    EXPECT_EQ(std::vector<uint8_t>(A.ArrayData, A.ArrayData + 5), std::vector<uint8_t>(Array, Array + 5));

    auto Str = S.New<TStringFormulaCell>(6, 2, Tokens, 3);
    Str->Value = "a cached result longer than the small-string buffer";
    EXPECT_EQ(static_cast<TStringFormulaCell&>(*Str->MakeCopy(Target)).Value, "");

    struct Plain {
        TCellPtr<> Cell;
        TCellType Type;
    };
    Plain Cells[] = {{S.New<TBlankCell>(9, 3), ctBlank},
                     {S.New<TFloatCell>(9, 3, 2.5), ctFloat},
                     {S.New<TStringCell>(9, 3, 17), ctString},
                     {S.New<TBooleanCell>(9, 3, true), ctBoolean},
                     {S.New<TErrorCell>(9, 3, ceRef), ctError}};
    for (auto& P : Cells) {
        auto Copy = P.Cell->MakeCopy(Target);
        EXPECT_EQ(Copy->CellType(), P.Type);
        EXPECT_EQ(Copy->RowCol, 9);
        EXPECT_EQ(Copy->FormatIndex, 3);
    }
    EXPECT_EQ(static_cast<TFloatCell&>(*Cells[1].Cell->MakeCopy(Target)).Value, 2.5);
    EXPECT_EQ(static_cast<TStringCell&>(*Cells[2].Cell->MakeCopy(Target)).SSTIndex, 17);
    EXPECT_TRUE(static_cast<TBooleanCell&>(*Cells[3].Cell->MakeCopy(Target)).Value);
    EXPECT_EQ(static_cast<TErrorCell&>(*Cells[4].Cell->MakeCopy(Target)).Value, ceRef);

    // A copy is unowned until inserted, and inserts into its own storage.
    auto Keep = Num->MakeCopy(Target);
    Target.Insert(Keep->RowCol, std::move(Keep));
    EXPECT_EQ(Target.Count(), 1);
}

TEST(CellStorage, FormulaCellsOwnCopiesOfTheirBytes)
{
    TCellStorage S;
    std::vector<uint8_t> Tokens = {0x17, 0x03, 'a', 'b', 'c'};
    auto Cell = S.New<TStringFormulaCell>(0, 0, Tokens.data(), static_cast<int32_t>(Tokens.size()));
    Tokens.assign(Tokens.size(), 0);
    EXPECT_EQ(Cell->Formula[2], 'a');
    auto Empty = S.New<TBooleanFormulaCell>(1, 0, nullptr, 12);
    EXPECT_EQ(Empty->FormulaSize, 0);
    EXPECT_EQ(Empty->Formula, nullptr);
}

// Every storage operation against an ordered map, over random keys with
// replacements, formula cells that own heap text, and a Clear in the middle.
TEST(CellStorage, BehavesLikeAnOrderedMap)
{
    std::mt19937 Rng(12345);
    TCellStorage S;
    for (int Round = 0; Round < 2; ++Round) {
        std::map<int32_t, std::pair<int, double>> Model; // key -> format, value
        for (int I = 0; I < 20000; ++I) {
            const int Row = static_cast<int>(Rng() % 3000) * (Rng() % 2 ? 1 : 21);
            const int Col = static_cast<int>(Rng() % 256);
            const int32_t Key = CellKey(Col, Row);
            const int Format = static_cast<int>(Rng() % 4);
            const double Value = I;
            if (I % 3 == 0) {
                const uint8_t Tokens[] = {0x1F, 1, 2, 3, 4, 5, 6, 7, 8};
                auto Cell = S.New<TStringFormulaCell>(Key, Format, Tokens, 9);
                Cell->Value = std::string(40, 'x') + std::to_string(I);
                S.Insert(Key, std::move(Cell));
            } else {
                S.Insert(Key, S.New<TFloatCell>(Key, Format, Value));
            }
            auto It = Model.find(Key);
            const int Kept = (Format <= 0 && It != Model.end()) ? It->second.first : Format;
            Model[Key] = {Kept, Value};
        }
        ASSERT_EQ(S.Count(), static_cast<int>(Model.size()));
        S.BeginIterate();
        for (const auto& [Key, FormatValue] : Model) {
            TCell* Cell = S.GetNext();
            ASSERT_NE(Cell, nullptr);
            ASSERT_EQ(Cell->RowCol, Key);
            EXPECT_EQ(Cell->FormatIndex, FormatValue.first);
            if (Cell->CellType() == ctFloat)
                EXPECT_EQ(static_cast<TFloatCell*>(Cell)->Value, FormatValue.second);
            else
                EXPECT_EQ(static_cast<TStringFormulaCell*>(Cell)->Value,
                          std::string(40, 'x') + std::to_string(static_cast<int>(FormatValue.second)));
            EXPECT_EQ(S.Find(Key), Cell);
        }
        EXPECT_EQ(S.GetNext(), nullptr);
        S.Clear();
    }
}

} // namespace
