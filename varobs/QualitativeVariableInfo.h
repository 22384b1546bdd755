#pragma once
// QualitativeVariableInfo: the record of a categorical variable with a list of settings (the
// category texts, 1-based). Its matrix value is the 1-based index of the setting, as a float.
// Blank settings (empty or white space only) are never kept. Section "QVI", version 2.

#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "interfaces/containers/NCStringVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "varobs/VariableInfo.h"

class QualitativeVariableInfo : public VariableInfo {
public:
    // No settings.
    QualitativeVariableInfo();
    // Source model -1, reference -1, type 0; the settings are copied (null: none) without blanks.
    QualitativeVariableInfo(const CString& id, unsigned long uniqueID, const NCStringVector* settings,
                            const CString& recipe);
    // Source model -1, reference -1, maturity -99; the settings are copied without blanks.
    QualitativeVariableInfo(const std::vector<CString>& ids, unsigned long uniqueID, const NCStringVector* settings,
                            EVariableType type, const CString& recipe);
    // Deep copy of the settings.
    QualitativeVariableInfo(const QualitativeVariableInfo& other);
    QualitativeVariableInfo& operator=(const QualitativeVariableInfo& other);
    ~QualitativeVariableInfo() override;

    // Blank text: -99. Otherwise the index of the first setting equal to the whole text ignoring
    // case (white space is not trimmed), or 3.4028235e38 when none matches.
    float Encode(const char* text) const override;
    // -99: "". Otherwise setting k, k = value + 0.00001 truncated; "???" when k is no setting.
    std::string Decode(float value) const override;
    bool IsQualitative() const override { return true; }
    QualitativeVariableInfo* Clone() const override;
    const QualitativeVariableInfo* AsQualitativeVariableInfo() const override { return this; }

    const NCStringVector& GetSettings() const { return *mSettings; }
    int SizeSettings() const;
    // Setting i (1-based); the caller keeps i in range.
    const char* GetSettingName(int i) const;
    // Appends the text unless it is blank.
    void AppendSetting(const char* text);

    // The dummy value of `value` for column `setting`: -99 stays -99; 1 when value + 0.0001
    // truncated equals `setting`, else 0.
    static float Expand(float value, int setting);
    // Back from dummy columns: the 1-based position of the single 1 (0 when all are 0 or the list
    // is empty); -99 when a second 1 or a value other than 0 and 1 occurs. Each value is
    // truncated after adding 0.0001.
    static float Collapse(const std::vector<float>& values);

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 2, or a missing or unreadable settings
    // sub-stream; never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override;

    static const ZStreamableData& StreamData();

private:
    void RemoveBlankSettings();

    CopiedSectionFlag mSection;
    std::unique_ptr<NCStringVector> mSettings;
};
