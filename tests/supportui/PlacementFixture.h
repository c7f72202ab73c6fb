#pragma once
// Form storage tests: a registry storage rooted "Ostrel" that records the
// names of the values written to it, in a fresh registry, and forms built
// in the loading bracket the way the conversion wizards are.

#include <string>
#include <vector>

#include "RegistryHome.h"
#include "SupportUiFixture.h"
#include "RecordingRegistryStorage.h"
#include "support/utils/ScRegistry.h"
#include "supportui/XcFormStorage.h"

class PlacementTest : public SupportUiTest {
protected:
    void SetUp() override {
        SupportUiTest::SetUp();
        storage_ = NewRecordingRegistryStorage(&dataModule_, written_);
        // The program's main form; the wizards are other forms.
        mainForm_ = Application().CreateForm<TForm>();
        mainForm_->SetName(u"MainForm");
    }

    // A form like the new-conversion wizard, at Bounds, with its storage.
    TXcFormStorage* NewWizard(TRect bounds, const std::function<void(TForm&)>& beforeLoaded = nullptr) {
        TForm* form = Application().CreateForm<TForm>();
        form->BeginLoading();
        auto* storage = new TXcFormStorage(form);
        storage->SetName(u"fstorConversion");
        storage->SetAppStorage(storage_);
        storage->SetAppStoragePath(u"Conversion\\");
        storage->SetStoredValuesPath(u"Conversion");
        for (const char16_t* name : {u"Category", u"Profile"}) {
            auto* value = static_cast<TXcStoredValue*>(storage->StoredValues()->Add());
            value->SetName(name);
            value->SetValue(int32_t(0));
        }
        form->SetBoundsRect(bounds);
        if (beforeLoaded) beforeLoaded(*form);
        form->EndLoading();
        return storage;
    }
    static TForm& FormOf(TXcFormStorage* storage) { return *static_cast<TForm*>(storage->Owner()); }
    static TRect WindowRect(TForm& form) {
        RECT r;
        GetWindowRect(form.Handle(), &r);
        return {r.left, r.top, r.right, r.bottom};
    }
    std::string Hive() const { return TRegistryHome::ReadFile(home_.Hive("HKEY_CURRENT_USER")); }
    // The type of a value of HKEY_CURRENT_USER; REG_NONE when there is none.
    static DWORD TypeOf(const String& key, const String& name) {
        DWORD type = REG_NONE;
        GetRegValueType(HKEY_CURRENT_USER, key, name, type);
        return type;
    }

    TRegistryHome home_;
    TComponent dataModule_{nullptr};
    std::vector<std::string> written_;
    TXcCustomAppStorage* storage_ = nullptr;
    TForm* mainForm_ = nullptr;
};
