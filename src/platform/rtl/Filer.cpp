#include "platform/rtl/Filer.h"

#include "platform/rtl/Component.h"
#include "platform/rtl/Persistent.h"

void TFiler::DefinePropertiesOf(TPersistent* instance, TFiler& filer) { instance->DefineProperties(&filer); }

void WriteComponent(TStream& stream, TComponent* component) {
    TWriter writer(stream);
    writer.WriteRootComponent(component);
}

TComponent* ReadComponent(TStream& stream, TComponent* instance, TComponent* owner) {
    TReader reader(stream);
    return reader.ReadRootComponent(instance, owner);
}
