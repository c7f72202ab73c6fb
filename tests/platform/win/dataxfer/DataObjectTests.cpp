#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/dataxfer/DropFiles.h"
#include "platform/win/dataxfer/StoredDataObject.h"

namespace {

FORMATETC Format(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL) { return {format, nullptr, DVASPECT_CONTENT, -1, tymed}; }

std::string Text(const TBytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

class DataObjectTest : public ::testing::Test {
protected:
    TIntfPtr<TStoredDataObject> object = MakeIntf<TStoredDataObject>();
    const CLIPFORMAT performed = CLIPFORMAT(RegisterClipboardFormatW(u"Performed DropEffect"));
    const CLIPFORMAT fileName = CLIPFORMAT(RegisterClipboardFormatW(u"FileName"));
};

TEST_F(DataObjectTest, TextIsOfferedWideAndAsUtf8WithTerminators) {
    ASSERT_TRUE(object->SetText(u"中文 text"));
    STGMEDIUM medium;
    ASSERT_EQ(object->GetData(Format(CF_TEXT), medium), S_OK);
    EXPECT_EQ(medium.tymed, TYMED_HGLOBAL);
    EXPECT_EQ(Text(*BytesOfGlobal(medium.hGlobal)), std::string("\xE4\xB8\xAD\xE6\x96\x87 text\0", 12));
    ReleaseStgMedium(&medium);
    ASSERT_EQ(object->GetData(Format(CF_UNICODETEXT), medium), S_OK);
    const auto wide = *BytesOfGlobal(medium.hGlobal);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(wide.data()), wide.size() / 2),
              std::u16string(u"中文 text\0", 8));
    ReleaseStgMedium(&medium);
}

TEST_F(DataObjectTest, QueryAndGetAnswerTheRightCodes) {
    object->SetFiles({u"/tmp/a"});
    struct TCase {
        const char* what;
        FORMATETC format;
        HRESULT result;
    };
    FORMATETC aspect = Format(CF_HDROP);
    aspect.dwAspect = DVASPECT_ICON;
    FORMATETC fileIndex = Format(CF_HDROP);
    fileIndex.lindex = 0;
    const TCase cases[] = {
        {"global", Format(CF_HDROP), S_OK},
        {"stream", Format(CF_HDROP, TYMED_ISTREAM), S_OK},
        {"either", Format(CF_HDROP, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
        {"storage", Format(CF_HDROP, TYMED_ISTORAGE), DV_E_TYMED},
        {"file", Format(CF_HDROP, TYMED_FILE), DV_E_TYMED},
        {"absent", Format(fileName), DV_E_FORMATETC},
        {"aspect", aspect, DV_E_DVASPECT},
        {"index", fileIndex, DV_E_LINDEX},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(object->QueryGetData(c.format), c.result);
        STGMEDIUM medium;
        EXPECT_EQ(object->GetData(c.format, medium), c.result);
        if (c.result == S_OK) {
            const auto bytes = BytesOfMedium(medium);
            ASSERT_TRUE(bytes);
            EXPECT_EQ(ReadDropFiles(bytes->data(), bytes->size()).names, std::vector<String>{u"/tmp/a"});
        } else {
            EXPECT_EQ(medium.tymed, TYMED_NULL);
        }
        ReleaseStgMedium(&medium);
    }
}

TEST_F(DataObjectTest, GetDataHereFillsTheCallersMedium) {
    object->SetBytes(CF_TEXT, std::string_view("abc", 3));
    STGMEDIUM medium;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = GlobalAlloc(GHND, 2);
    EXPECT_EQ(object->GetDataHere(Format(CF_TEXT), medium), STG_E_MEDIUMFULL);
    GlobalReAlloc(medium.hGlobal, 4, GMEM_MOVEABLE | GMEM_ZEROINIT);
    EXPECT_EQ(object->GetDataHere(Format(CF_TEXT), medium), S_OK);
    EXPECT_EQ(Text(*BytesOfGlobal(medium.hGlobal)), std::string("abc\0", 4));
    ReleaseStgMedium(&medium);
    FORMATETC canonical;
    FORMATETC asked = Format(CF_TEXT);
    EXPECT_EQ(object->GetCanonicalFormatEtc(asked, canonical), DATA_S_SAMEFORMATETC);
    EXPECT_EQ(canonical.cfFormat, CF_TEXT);
}

TEST_F(DataObjectTest, SetDataOnlyForRememberedFormats) {
    object->AcceptSetData(performed);
    const DWORD effect = DROPEFFECT_COPY;
    for (CLIPFORMAT format : {performed, fileName}) {
        STGMEDIUM medium;
        medium.tymed = TYMED_HGLOBAL;
        medium.hGlobal = GlobalFromBytes(&effect, sizeof effect);
        const HRESULT result = object->SetData(Format(format), medium, TRUE);
        if (format == performed) {
            EXPECT_EQ(result, S_OK);
            EXPECT_EQ(medium.tymed, TYMED_NULL); // taken over and released
        } else {
            EXPECT_EQ(result, E_NOTIMPL);
            ReleaseStgMedium(&medium);
        }
    }
    const auto stored = object->Bytes(performed);
    ASSERT_TRUE(stored);
    DWORD read = 0;
    ASSERT_EQ(stored->size(), sizeof read);
    std::memcpy(&read, stored->data(), sizeof read);
    EXPECT_EQ(read, DROPEFFECT_COPY);
    EXPECT_FALSE(object->HasFormat(fileName));
    EXPECT_EQ(object->QueryGetData(Format(performed)), S_OK);
}

TEST_F(DataObjectTest, AdviseIsNotSupported) {
    DWORD connection = 7;
    EXPECT_EQ(object->DAdvise(Format(CF_TEXT), 0, nullptr, connection), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(connection, 0u);
    EXPECT_EQ(object->DUnadvise(1), OLE_E_ADVISENOTSUPPORTED);
    TIntfPtr<IEnumSTATDATA> advises;
    EXPECT_EQ(object->EnumDAdvise(advises), OLE_E_ADVISENOTSUPPORTED);
}

TEST_F(DataObjectTest, EnumeratorTable) {
    object->SetText(u"t");   // CF_UNICODETEXT, CF_TEXT
    object->SetFiles({u"/a"}); // CF_HDROP
    TIntfPtr<IEnumFORMATETC> formats;
    EXPECT_EQ(object->EnumFormatEtc(DATADIR_SET, formats), E_NOTIMPL);
    ASSERT_EQ(object->EnumFormatEtc(DATADIR_GET, formats), S_OK);
    TIntfPtr<IEnumFORMATETC> clone;

    // Each step runs on `formats` (or the clone) and checks the answer and what came out.
    enum TOp { Next, Skip, Reset, CloneIt, NextOnClone };
    struct TStep {
        TOp op;
        ULONG count;
        HRESULT result;
        std::vector<CLIPFORMAT> fetched;
    };
    const TStep steps[] = {
        {Next, 1, S_OK, {CF_UNICODETEXT}},
        {CloneIt, 0, S_OK, {}},
        {Next, 5, S_FALSE, {CF_TEXT, CF_HDROP}},
        {Next, 1, S_FALSE, {}},
        {Skip, 1, S_FALSE, {}},
        {NextOnClone, 1, S_OK, {CF_TEXT}}, // the clone kept its own position
        {Reset, 0, S_OK, {}},
        {Skip, 2, S_OK, {}},
        {Next, 2, S_FALSE, {CF_HDROP}},
        {Reset, 0, S_OK, {}},
        {Skip, 4, S_FALSE, {}},
        {Next, 1, S_FALSE, {}},
        {NextOnClone, 2, S_FALSE, {CF_HDROP}},
    };
    int index = 0;
    for (const TStep& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << index++);
        FORMATETC out[5] = {};
        ULONG fetched = 99;
        HRESULT result;
        switch (step.op) {
        case Next: result = formats->Next(step.count, out, &fetched); break;
        case NextOnClone: result = clone->Next(step.count, out, &fetched); break;
        case Skip: result = formats->Skip(step.count); fetched = 0; break;
        case Reset: result = formats->Reset(); fetched = 0; break;
        case CloneIt: result = formats->Clone(clone); fetched = 0; break;
        }
        EXPECT_EQ(result, step.result);
        ASSERT_EQ(fetched, step.fetched.size());
        for (size_t i = 0; i < fetched; ++i) {
            EXPECT_EQ(out[i].cfFormat, step.fetched[i]);
            EXPECT_EQ(out[i].tymed, TYMED_HGLOBAL | TYMED_ISTREAM);
            EXPECT_EQ(out[i].lindex, -1);
            EXPECT_EQ(out[i].dwAspect, DVASPECT_CONTENT);
        }
    }
    // Fetched may be left out only when one item is asked for.
    FORMATETC one;
    formats->Reset();
    EXPECT_EQ(formats->Next(1, &one, nullptr), S_OK);
    FORMATETC two[2];
    EXPECT_EQ(formats->Next(2, two, nullptr), E_INVALIDARG);
}

} // namespace
