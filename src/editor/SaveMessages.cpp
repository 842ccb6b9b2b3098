#include "editor/SaveMessages.h"

#include "controls/MessagePresenter.h"
#include "settings/InQuotes.h"

namespace quendral {

std::string_view SaveMessages::caption() const
{
    return m_previewing ? "Preview changes" : "Save file";
}

void SaveMessages::notSaved(const std::string& car, const std::string& reason) const
{
    if (m_previewing)
        m_messages.showError(caption(), "The car " + inQuotes(car) + " would not be saved: " + reason + ".");
    else
        m_messages.showError(caption(), "The car " + inQuotes(car) + " was not saved: " + reason
                                            + ". Its car script is unchanged.");
}

void SaveMessages::savedWithout(const std::string& car, const std::vector<std::string>& missed) const
{
    std::string list;
    for (const std::string& item : missed)
        list += (list.empty() ? "" : "; ") + item;
    m_messages.showError(caption(), "The car " + inQuotes(car) + (m_previewing ? " would be saved" : " was saved")
                                        + ", but its car script could not take every setting: " + list + ".");
}

} // namespace quendral
