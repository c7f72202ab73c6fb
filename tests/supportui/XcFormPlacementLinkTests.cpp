// Links of a form placement: told after its saves and restores, registered
// by naming the placement, and cleaned up whichever of the two goes first.

#include "supportui/XcFormPlacementLink.h"

#include <gtest/gtest.h>

#include <memory>

#include "PlacementFixture.h"

namespace {

using Names = std::vector<std::string>;

// A link that notes its notices in Log, after the values written so far.
std::unique_ptr<TXcFormPlacementLink> LoggingLink(TXcFormPlacement* placement, Names& log, const std::string& name,
                                                  const Names& written) {
    auto link = std::make_unique<TXcFormPlacementLink>(placement);
    link->OnSave = [&log, &written, name](TObject*) { log.push_back(name + " saved after " + written.back()); };
    link->OnLoad = [&log, name](TObject*) { log.push_back(name + " loaded"); };
    return link;
}

TEST_F(PlacementTest, LinksAreToldAfterTheFormsShowRestoresAndItsCloseSaves) {
    TXcFormStorage* wizard = NewWizard({100, 80, 900, 680});
    Names log;
    const auto first = LoggingLink(wizard, log, "first", written_);
    const auto second = LoggingLink(wizard, log, "second", written_);
    wizard->AfterSavePlacement = [&](TObject*) { log.push_back("after save"); };
    FormOf(wizard).Show();
    PumpMessages();
    FormOf(wizard).Close();
    EXPECT_EQ(log, (Names{"first loaded", "second loaded", "first saved after NormPos", "second saved after NormPos",
                          "after save"}));
}

TEST_F(PlacementTest, ALinkMovesBetweenPlacementsAndLeavesWhenItGoes) {
    TXcFormStorage* one = NewWizard({100, 80, 900, 680});
    TXcFormStorage* other = NewWizard({100, 80, 900, 680});
    Names log;
    auto link = LoggingLink(one, log, "link", written_);
    link->SetFormPlacement(other);
    EXPECT_EQ(link->FormPlacement(), other);
    one->LoadPlacement();
    EXPECT_TRUE(log.empty());
    other->LoadPlacement();
    EXPECT_EQ(log, Names{"link loaded"});

    link.reset();
    other->LoadPlacement();
    EXPECT_EQ(log, Names{"link loaded"});
}

TEST_F(PlacementTest, APlacementThatGoesFirstLeavesItsLinksWithoutOne) {
    TXcFormStorage* wizard = NewWizard({100, 80, 900, 680});
    Names log;
    const auto link = LoggingLink(wizard, log, "link", written_);
    delete &FormOf(wizard);
    EXPECT_EQ(link->FormPlacement(), nullptr);
}

TEST_F(PlacementTest, ALinkThatLeavesDuringANoticeIsNotToldAgainAndTheOthersStillAre) {
    TXcFormStorage* wizard = NewWizard({100, 80, 900, 680});
    Names log;
    std::unique_ptr<TXcFormPlacementLink> second;
    const auto first = LoggingLink(wizard, log, "first", written_);
    first->OnLoad = [&](TObject*) {
        log.push_back("first loaded");
        second.reset();
    };
    second = LoggingLink(wizard, log, "second", written_);
    const auto third = LoggingLink(wizard, log, "third", written_);
    wizard->LoadPlacement();
    EXPECT_EQ(log, (Names{"first loaded", "third loaded"}));
}

} // namespace
