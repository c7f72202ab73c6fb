#include "platform/ui/DataModule.h"

RTL_PUBLISHED(TDataModule, c) {
    c.Property("OnCreate", &TDataModule::OnCreate, &TDataModule::OnCreate);
    c.Property("OnDestroy", &TDataModule::OnDestroy, &TDataModule::OnDestroy);
}

TDataModule::~TDataModule() {
    Destroying();
    if (OnDestroy) OnDestroy(this);
}

void TDataModule::Loaded() {
    TComponent::Loaded();
    if (created_) return;
    created_ = true;
    if (OnCreate) OnCreate(this);
}
