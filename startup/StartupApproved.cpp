#include "startup/StartupApproved.h"

#include "platform/Errors.h"

namespace cv {

namespace {

TRegView RecordView(const IRegistryApi& api, HKey root) {
    return root == kHKeyLocalMachine ? MachineViews(api).front() : kRegViewNative;
}

std::string RecordKeyText(const TApprovedPlace& place) {
    return FullKeyText(place.Root, place.Key, place.View);
}

} // namespace

TApprovedPlace RunApprovedPlace(const IRegistryApi& api, HKey root, TRegView view, const std::string& name) {
    const bool wow = root == kHKeyLocalMachine && (view & kRegView32) != 0;
    return {root, RecordView(api, root), std::string(kStartupApprovedKey) + (wow ? "\\Run32" : "\\Run"),
            name};
}

TApprovedPlace FolderApprovedPlace(const IRegistryApi& api, HKey root, const std::string& fileName) {
    return {root, RecordView(api, root), std::string(kStartupApprovedKey) + "\\StartupFolder", fileName};
}

TApprovedRecord ParseApprovedRecord(const TRegRawValue& value) {
    TApprovedRecord record;
    if (value.Type != kRegBinary || value.Data.size() != kApprovedRecordSize) {
        return record;
    }
    record.Known = true;
    record.Off = (value.Data[0] & 1) != 0;
    if (record.Off) {
        for (std::size_t i = 11; i >= 4; --i) {
            record.OffSince = record.OffSince << 8 | value.Data[i];
        }
    }
    return record;
}

TApprovedRecord ReadApprovedRecord(IRegistryApi& api, const TApprovedPlace& place) {
    TRegistry reg(api, kKeyRead);
    reg.SetRootKey(place.Root);
    reg.SetView(place.View);
    TRegRawValue value;
    if (!reg.OpenKey(place.Key, false) || !reg.ReadRaw(place.Name, &value)) {
        return {};
    }
    return ParseApprovedRecord(value);
}

TRegRawValue ApprovedOnRecord() {
    TRegRawValue value{kRegBinary, std::vector<std::uint8_t>(kApprovedRecordSize, 0)};
    value.Data[0] = 2;
    return value;
}

TApprovedChange::TApprovedChange(IRegistryApi& api, const TApprovedPlace& place, TKind kind)
    : FPlace(place), FKind(kind) {
    TRegistry writer(api, kKeyRead | kKeyWrite);
    writer.SetRootKey(place.Root);
    writer.SetView(place.View);
    if (writer.OpenKey(place.Key, false)) {
        FWriter.emplace(std::move(writer));
    } else if (writer.LastError() != kErrorFileNotFound) {
        ThrowRefusedChange("change", RecordKeyText(place), writer.LastError());
    }
}

TApprovedChange TApprovedChange::SwitchOn(IRegistryApi& api, const TApprovedPlace& place) {
    const TApprovedRecord record = ReadApprovedRecord(api, place);
    return record.Known && record.Off ? TApprovedChange(api, place, TKind::SwitchOn) : TApprovedChange();
}

TApprovedChange TApprovedChange::Remove(IRegistryApi& api, const TApprovedPlace& place) {
    return ReadApprovedRecord(api, place).Known ? TApprovedChange(api, place, TKind::Remove)
                                                : TApprovedChange();
}

void TApprovedChange::Commit() {
    if (!FWriter) {
        return;
    }
    if (FKind == TKind::SwitchOn) {
        try {
            FWriter->WriteRaw(FPlace.Name, ApprovedOnRecord());
        } catch (const ERegistryError&) {
            ThrowRefusedChange("change", RecordKeyText(FPlace), FWriter->LastError());
        }
    } else if (!FWriter->DeleteValue(FPlace.Name) && FWriter->ValueExists(FPlace.Name)) {
        ThrowRefusedChange("delete \"" + FPlace.Name + "\" from", RecordKeyText(FPlace),
                           FWriter->LastError());
    }
    FWriter.reset();
}

} // namespace cv
