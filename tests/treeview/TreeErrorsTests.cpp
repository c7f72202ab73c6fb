#include <gtest/gtest.h>

#include "treeview/TreeErrors.h"

TEST(TreeErrors, EachErrorRaisesItsTextWithItsHelpContext) {
    const struct {
        TTreeError error;
        const char16_t* text;
    } cases[] = {
        {TTreeError::EditLinkIsNil, u"Edit link must not be nil."},
        {TTreeError::MoveIntoOwnChild, u"Target node cannot be a child node of the node to be moved."},
        {TTreeError::WrongStreamFormat, u"Unable to load tree structure, the format is wrong."},
        {TTreeError::UnknownStreamVersion, u"Unable to load tree structure, the version is unknown."},
        {TTreeError::StreamTooShort, u"Unable to load tree structure, not enough data available."},
        {TTreeError::AnchorChunkMissing, u"Stream data corrupt. A node's anchor chunk is missing."},
        {TTreeError::DataAfterNodeEnd, u"Stream data corrupt. Unexpected data after node's end position."},
        {TTreeError::ClipboardFailed, u"Clipboard operation failed."},
        {TTreeError::UserDataTooSmall,
         u"Cannot set initial user data because there is not enough user data space allocated."},
    };
    int expectedContext = 2000;
    for (const auto& c : cases) {
        try {
            RaiseTreeError(c.error);
            ADD_FAILURE() << "nothing raised for " << expectedContext;
        } catch (const EViewTreeError& e) {
            EXPECT_EQ(e.Message(), String(c.text));
            EXPECT_EQ(e.HelpContext(), expectedContext);
        }
        ++expectedContext;
    }
}
