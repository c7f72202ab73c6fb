#include <gtest/gtest.h>

#include "SQLiteServicesFake.h"
#include "support/sqlite/SQLiteDataset.h"
#include "support/sqlite/SQLiteFixture.h"

namespace {

class BlobStreamTest : public SQLiteTest {
protected:
    BlobStreamTest() {
        mapper_.Mappings() = AppMappings();
        mapper_.Mappings().push_back({u"widememo", ftWideMemo});
        db_ = Connect();
        db_->SetMapper(&mapper_);
        db_->RunStatements(u"create table b(id integer primary key, data blob, note widememo);"
                           u"insert into b(data, note) values(x'0102', '汉字 text')");
        table_.SetConnection(db_.get());
        table_.SetTableName(u"b");
        table_.Open();
    }

    static std::string ReadAll(TStream& stream) {
        std::string bytes(static_cast<size_t>(stream.Size()), '\0');
        stream.SetPosition(0);
        stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        return bytes;
    }

    TSQLiteServicesFake services_;
    TAppServicesScope scope_{services_};
    TSpSqliteMapper mapper_;
    std::unique_ptr<TASQLite3DB> db_;
    TASQLite3Table table_;
};

TEST_F(BlobStreamTest, BytesWrittenThroughAStreamSurvivePostCloseAndOpen) {
    const std::string bytes("\0\xff\x01 blob\0", 9);
    table_.Append();
    {
        const auto stream = table_.CreateBlobStream(table_.FieldByName(u"data"), bmWrite);
        stream->WriteBuffer(bytes.data(), 4);
        stream->WriteBuffer(bytes.data() + 4, 5);
    }
    table_.Post();
    table_.Close();
    table_.Open();
    table_.Last();
    const auto stream = table_.CreateBlobStream(table_.FieldByName(u"data"), bmRead);
    EXPECT_EQ(ReadAll(*stream), bytes);
    EXPECT_TRUE(services_.errors.empty());
}

TEST_F(BlobStreamTest, AWideMemoIsSeenAsItsUTF16Bytes) {
    const String text(u"汉字 text");
    {
        const auto stream = table_.CreateBlobStream(table_.FieldByName(u"note"), bmRead);
        EXPECT_EQ(ReadAll(*stream), std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
    }
    table_.Edit();
    {
        const auto stream = table_.CreateBlobStream(table_.FieldByName(u"note"), bmReadWrite);
        stream->Seek(0, soEnd);
        stream->WriteBuffer(u"!", 2);
    }
    table_.Post();
    EXPECT_EQ(db_->QueryValue(u"select note from b"), u"汉字 text!");
}

TEST_F(BlobStreamTest, WritingNeedsAnEditedRowAndAWritableField) {
    const auto message = [&](TBlobStreamMode mode) {
        try {
            table_.CreateBlobStream(table_.FieldByName(u"data"), mode);
        } catch (const EDatabaseError& e) {
            return e.Message();
        }
        return String(u"no error");
    };
    EXPECT_EQ(message(bmWrite), u"Dataset not in edit or insert mode");
    EXPECT_EQ(message(bmReadWrite), u"Dataset not in edit or insert mode");
    EXPECT_EQ(message(bmRead), u"no error");
    table_.Edit();
    table_.FieldByName(u"data").SetReadOnly(true);
    EXPECT_EQ(message(bmWrite), u"Field 'data' cannot be modified");
}

TEST_F(BlobStreamTest, AStoreThatFailsWhenTheStreamGoesReachesTheExceptionHandler) {
    table_.Edit();
    auto afterPost = table_.CreateBlobStream(table_.FieldByName(u"data"), bmWrite);
    afterPost->WriteBuffer("x", 1);
    table_.Post();
    EXPECT_NO_THROW(afterPost.reset());

    table_.Edit();
    auto afterClose = table_.CreateBlobStream(table_.FieldByName(u"data"), bmWrite);
    afterClose->WriteBuffer("y", 1);
    table_.Cancel();
    table_.Close();
    EXPECT_NO_THROW(afterClose.reset());

    EXPECT_EQ(services_.errors, (std::vector<String>{u"Dataset not in edit or insert mode",
                                                     u"Cannot perform this operation on a closed dataset"}));
    EXPECT_EQ(db_->QueryValue(u"select hex(data) from b"), u"0102");
}

TEST_F(BlobStreamTest, AStreamThatWasOnlyReadStoresNothing) {
    {
        const auto stream = table_.CreateBlobStream(table_.FieldByName(u"data"), bmRead);
        EXPECT_EQ(ReadAll(*stream), std::string("\x01\x02"));
    }
    EXPECT_TRUE(services_.errors.empty()) << "a store outside editing would have failed";
}

} // namespace
