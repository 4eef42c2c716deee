#include "Disassembly.h"

#include "avm1/Bytecode.h"
#include "avm1/Vm.h"
#include "avm2/abc/AbcParser.h"
#include "avm2/abc/Disassembler.h"

#include <variant>

namespace swfrun {

namespace {

class Writer {
public:
    explicit Writer(int version) : m_vm(version), m_version(version) {}

    void block(const std::string& title, std::span<const std::uint8_t> code)
    {
        m_out += "; " + title + " (" + std::to_string(code.size()) + " bytes)\n";
        m_out += avm1::disassembleCode(m_vm, code, m_version);
        m_out += '\n';
    }

    void timeline(const std::string& owner, const swf::Timeline& timeline)
    {
        for (std::size_t f = 0; f < timeline.frames.size(); ++f) {
            const std::string where = owner + " frame " + std::to_string(f + 1);
            for (const swf::ControlTag& tag : timeline.frames[f].tags) {
                if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
                    block(where + " DoAction", action->actions);
                } else if (const auto* init = std::get_if<swf::DoInitAction>(&tag)) {
                    block(where + " DoInitAction for sprite " + std::to_string(init->spriteId),
                          init->actions);
                } else if (const auto* abc = std::get_if<swf::DoAbc>(&tag)) {
                    abcBlock(where, *abc);
                } else if (const auto* symbols = std::get_if<swf::SymbolClass>(&tag)) {
                    m_out += "; " + where + " SymbolClass\n";
                    for (const auto& [id, name] : symbols->symbols)
                        m_out += "  " + std::to_string(id) + " " + name + "\n";
                    m_out += '\n';
                } else if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
                    for (const swf::ClipAction& handler : place->clipActions) {
                        char events[16];
                        std::snprintf(events, sizeof events, "0x%08X", handler.events);
                        block(where + " clip actions at depth " + std::to_string(place->depth) +
                                  " for events " + events,
                              handler.actions);
                    }
                }
            }
        }
    }

    void abcBlock(const std::string& where, const swf::DoAbc& tag)
    {
        m_out += "; " + where + " DoABC \"" + tag.name + "\" (" + std::to_string(tag.abc.size()) +
                 " bytes, flags " + std::to_string(tag.flags) + ")\n";
        const auto abc = avm2::abc::parseAbc(tag.abc);
        m_out +=
            abc ? avm2::abc::disassemble(*abc) : "; not readable: " + abc.error().message() + "\n";
        m_out += '\n';
    }

    std::string take() { return std::move(m_out); }

private:
    avm1::Vm m_vm;
    int m_version;
    std::string m_out;
};

} // namespace

std::string disassembleMovie(const swf::MovieDefinition& movie)
{
    Writer out(movie.header.version);
    out.timeline("main timeline", movie.timeline);
    for (std::size_t id = 0; id < movie.idLimit(); ++id) {
        const swf::Character* character = movie.character(static_cast<swf::CharacterId>(id));
        if (!character)
            continue;
        if (const auto* sprite = std::get_if<swf::Sprite>(&character->data)) {
            out.timeline("sprite " + std::to_string(id), sprite->timeline);
        } else if (const auto* button = std::get_if<swf::Button>(&character->data)) {
            for (const swf::ButtonAction& action : button->actions) {
                std::string title = "button " + std::to_string(id) + " conditions " +
                                    std::to_string(action.conditions);
                if (action.keyCode)
                    title += " key " + std::to_string(action.keyCode);
                out.block(title, action.actions);
            }
        }
    }
    return out.take();
}

} // namespace swfrun
