#pragma once

#include "core/modGlobalVariables.h"

#include <QString>
#include <vector>

// How one registry value of Lumet maps onto its field of SettingsRecord.
struct SettingsField {
    QString name;
    // Stores the converted text in the field; a text that does not convert leaves
    // the field as it was.
    void (*load)(SettingsRecord& record, const QString& text);
    // The field's value as shown to a person: True/False, plain decimal numbers,
    // texts as they are, a password as "***" when one is set.
    QString (*text)(const SettingsRecord& record);
};

// Every value of SettingsRecord, in the order the loader reads them.
const std::vector<SettingsField>& SettingsFields();
