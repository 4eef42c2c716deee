#include "TextFieldBindings.h"

#include "ClipObject.h"
#include "Limits.h"
#include "TargetPaths.h"
#include "Vm.h"
#include "runtime/ContainerObject.h"
#include "runtime/EditTextObject.h"

#include <algorithm>

namespace avm1 {

namespace {

struct Variable {
    Object* owner = nullptr;
    String* member = nullptr;
};

std::size_t splitPoint(std::string_view path, int swfVersion)
{
    return path.find_last_of(swfVersion >= 5 ? ":." : ":");
}

// What the field's variable path names now, from the timeline holding the field.
Variable resolve(Vm& vm, ClipRegistry& registry, runtime::EditTextObject& field)
{
    const std::string& path = field.variableName();
    ClipObject* timeline = registry.wrap(field.parent());
    if (path.empty() || !timeline)
        return {};
    const std::size_t split = splitPoint(path, vm.swfVersion());
    if (split == std::string::npos)
        return {timeline, vm.str(path)};
    const std::string_view member = std::string_view(path).substr(split + 1);
    const std::string_view owner = std::string_view(path).substr(0, split);
    Object* object = owner.empty() ? nullptr : resolveTargetFrom(vm, timeline, owner);
    if (!object || member.empty())
        return {};
    return {object, vm.str(member)};
}

// The field shows `value`; nothing changes when it shows that already.
void show(Vm& vm, runtime::EditTextObject& field, Value value)
{
    const std::string text = vm.toStdString(value);
    if (vm.throwing())
        return;
    if (field.isHtml()) {
        if (text != field.htmlText())
            field.setHtmlText(text);
    } else if (text != field.plainText()) {
        field.setText(text);
    }
}

std::string fieldValue(runtime::EditTextObject& field)
{
    return field.isHtml() ? field.htmlText() : field.plainText();
}

} // namespace

std::string_view variableMember(std::string_view path, int swfVersion)
{
    const std::size_t split = splitPoint(path, swfVersion);
    return split == std::string_view::npos ? path : path.substr(split + 1);
}

void TextFieldBindings::bind(Vm& vm, ClipRegistry& registry, runtime::EditTextObject& field)
{
    std::erase_if(m_fields, [](const auto& weak) { return weak.expired(); });
    const bool known = std::any_of(m_fields.begin(), m_fields.end(),
                                   [&](const auto& weak) { return weak.lock().get() == &field; });
    if (!known && m_fields.size() < limits::kMaxBoundFields)
        m_fields.push_back(
            std::static_pointer_cast<runtime::EditTextObject>(field.shared_from_this()));
    const Variable variable = resolve(vm, registry, field);
    if (!variable.owner)
        return;
    Value value;
    if (vm.lookup(variable.owner, variable.member, value)) {
        show(vm, field, value);
        return;
    }
    const std::string text = fieldValue(field);
    if (!text.empty())
        vm.setMember(variable.owner, variable.member, vm.strValue(text));
}

void TextFieldBindings::variableAssigned(Vm& vm, ClipObject& clip, String* name)
{
    if (m_fields.empty())
        return;
    const CaseRule rule = vm.caseRule();
    // Showing a value may run its toString, which may place or bind fields.
    std::vector<std::shared_ptr<runtime::EditTextObject>> showing;
    for (const auto& weak : m_fields) {
        auto field = weak.lock();
        if (!field || !field->onStage() || field->variableName().empty())
            continue;
        if (!sameKey(variableMember(field->variableName(), vm.swfVersion()), name->view(), rule))
            continue;
        showing.push_back(std::move(field));
    }
    for (const auto& field : showing) {
        const Variable variable = resolve(vm, clip.registry(), *field);
        if (variable.owner != &clip)
            continue;
        show(vm, *field, vm.getMember(&clip, name));
        if (vm.throwing())
            return;
    }
}

void TextFieldBindings::textAssigned(Vm& vm, ClipRegistry& registry, runtime::EditTextObject& field)
{
    const Variable variable = resolve(vm, registry, field);
    if (variable.owner)
        vm.setMember(variable.owner, variable.member, vm.strValue(fieldValue(field)));
}

} // namespace avm1
