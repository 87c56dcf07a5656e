#include "BiffBuilder.h"

#include "biff/ByteCursor.h"
#include "biff/RecordStorage.h"
#include "biff/XLSStream.h"
#include "model/Exception.h"

#include <gtest/gtest.h>

namespace {

TEST(RecordStorage, ReadUntilEOFStoresTheRecordsBetween)
{
    TXLSStream Stream;
    // An EOF with a body is stepped over whole, so reading goes on at the next record.
    Stream.OpenBytes(Cat({Rec(0x1001, {1, 2, 3}), Rec(0x1033), Rec(0x1002, TBytes(9, 0)), Rec(0x1034, {4}),
                          Rec(0x000A, {0xEE, 0xEE}), Rec(0x0055, {8, 0})}));
    TRecordStorageAnchor Storage;
    Storage.ReadUntilEOF(Stream, 8);
    ASSERT_EQ(Storage.Count(), 3); // the 9-byte record is over the limit
    EXPECT_EQ(Storage.Items(0).RecId, 0x1001);
    EXPECT_EQ(Storage.Items(0).Length, 3);
    EXPECT_EQ(Storage.Items(0).Data, (TBytes{1, 2, 3}));
    EXPECT_EQ(Storage.Items(1).Length, 0);
    EXPECT_TRUE(Storage.Items(1).Data.empty());
    EXPECT_EQ(Storage.Items(2).RecId, 0x1034);
    TBiffHeader Next;
    ASSERT_EQ(Stream.ReadHeader(Next), 4);
    EXPECT_EQ(Next.RecId, 0x0055);
    EXPECT_THROW(Storage.Items(3), Exception);

    Storage.Clear();
    Storage.Clear();
    EXPECT_EQ(Storage.Count(), 0);
}

TEST(RecordStorage, EndOfStreamEndsTheStorageQuietly)
{
    TXLSStream Stream;
    Stream.OpenBytes(Cat({Rec(0x1001, {1}), TBytes{0x0A, 0x00}}));
    TRecordStorage Storage;
    Storage.ReadUntilEOF(Stream, 8224);
    EXPECT_EQ(Storage.Count(), 1);
}

TEST(ByteCursor, ReadsLittleEndianAndNamesWhatRanShort)
{
    const TBytes Bytes = {0x01, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 0xFF};
    TByteCursor C(Bytes, "FONT record");
    EXPECT_EQ(C.U8(), 0x01);
    EXPECT_EQ(C.U16(), 0x1234);
    EXPECT_EQ(C.U32(), 0x12345678u);
    EXPECT_EQ(C.F64(), 1.0);
    EXPECT_EQ(C.Remaining(), 1u);
    EXPECT_EQ(C.U8(), 0xFF);
    EXPECT_TRUE(C.AtEnd());
}

TEST(ByteCursor, Overruns)
{
    const TBytes Bytes = {1, 2, 3, 4, 5};
    TByteCursor C(Bytes, "FONT record");
    C.Skip(3);
    try {
        C.U32("the colour");
        FAIL();
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "FONT record ends early: the colour needs 4 bytes at offset 3, 2 left");
    }
    EXPECT_EQ(C.Offset(), 3u); // a failed read moves nothing
    EXPECT_THROW(C.Bytes(SIZE_MAX), Exception);
    EXPECT_THROW(C.Seek(6), Exception);
    C.Seek(5);
    EXPECT_TRUE(C.AtEnd());
    C.Seek(1);
    TByteCursor Sub = C.Sub(2, "the name");
    EXPECT_EQ(Sub.U16(), 0x0302);
    EXPECT_EQ(C.U8(), 4);
}

} // namespace
