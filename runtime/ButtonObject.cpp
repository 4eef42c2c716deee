#include "ButtonObject.h"

#include "CharacterHitTest.h"
#include "MovieSounds.h"
#include "ObjectFactory.h"
#include "PlayerContext.h"
#include "StageEvents.h"

#include <array>

namespace runtime {

namespace {

struct TransitionRule {
    swf::ButtonCondition condition;
    ButtonTracking from;
    ButtonTracking to;
};

constexpr std::array<TransitionRule, 9> kTransitions{{
    {swf::IdleToOverUp, ButtonTracking::Idle, ButtonTracking::OverUp},
    {swf::OverUpToIdle, ButtonTracking::OverUp, ButtonTracking::Idle},
    {swf::OverUpToOverDown, ButtonTracking::OverUp, ButtonTracking::OverDown},
    {swf::OverDownToOverUp, ButtonTracking::OverDown, ButtonTracking::OverUp},
    {swf::OverDownToOutDown, ButtonTracking::OverDown, ButtonTracking::OutDown},
    {swf::OutDownToOverDown, ButtonTracking::OutDown, ButtonTracking::OverDown},
    {swf::OutDownToIdle, ButtonTracking::OutDown, ButtonTracking::Idle},
    {swf::IdleToOverDown, ButtonTracking::Idle, ButtonTracking::OverDown},
    {swf::OverDownToIdle, ButtonTracking::OverDown, ButtonTracking::Idle},
}};

swf::ButtonState stateShown(ButtonTracking tracking)
{
    switch (tracking) {
    case ButtonTracking::Idle:
        return swf::ButtonUp;
    case ButtonTracking::OverUp:
    case ButtonTracking::OutDown:
        return swf::ButtonOver;
    case ButtonTracking::OverDown:
        return swf::ButtonDown;
    }
    return swf::ButtonUp;
}

} // namespace

ButtonObject::ButtonObject(PlayerContext& context, const swf::Character* character,
                           const swf::Button& definition)
    : ContainerObject(context, ObjectKind::Button, character), m_definition(definition)
{}

void ButtonObject::initialize()
{
    show(swf::ButtonUp);
}

bool ButtonObject::transition(swf::ButtonCondition condition)
{
    for (const TransitionRule& rule : kTransitions) {
        if (rule.condition != condition)
            continue;
        if (rule.from != m_tracking)
            return false;
        m_tracking = rule.to;
        context().log(LogCategory::Buttons,
                      [&] { return path() + ": transition 0x" + std::to_string(int(condition)); });
        show(stateShown(m_tracking));
        queueActions(condition);
        playSound(condition);
        return true;
    }
    return false;
}

void ButtonObject::playSound(swf::ButtonCondition condition)
{
    static constexpr swf::ButtonCondition kSoundOrder[] = {
        swf::OverUpToIdle, swf::IdleToOverUp, swf::OverUpToOverDown, swf::OverDownToOverUp};
    for (std::size_t i = 0; i < std::size(kSoundOrder); ++i) {
        const swf::ButtonSound& sound = m_definition.sounds[i];
        if (kSoundOrder[i] != condition || sound.soundId == 0)
            continue;
        const ContainerObject* owner = parent();
        context().sounds().startSound(movie(), swf::StartSound{sound.soundId, {}, sound.soundInfo},
                                      owner ? owner->id() : 0);
    }
}

void ButtonObject::takeTracking(ButtonTracking state)
{
    m_tracking = state;
    show(stateShown(state));
}

void ButtonObject::pressByKey()
{
    queueActions(swf::OverUpToOverDown);
    queueActions(swf::OverDownToOverUp);
}

bool ButtonObject::queueKeyPress(std::uint8_t buttonKeyCode)
{
    ContainerObject* owner = parent();
    if (!owner || buttonKeyCode == 0)
        return false;
    bool found = false;
    for (const swf::ButtonAction& block : m_definition.actions) {
        if (block.keyCode != buttonKeyCode)
            continue;
        QueuedAction action;
        action.kind = QueuedAction::Kind::Button;
        action.target = owner->shared_from_this();
        action.button = shared_from_this();
        action.code = block.actions;
        context().actions().push(std::move(action));
        found = true;
    }
    return found;
}

bool ButtonObject::hitTest(double stageX, double stageY) const
{
    HitAreas& areas = movieInstance().hitAreas();
    const swf::Matrix world = worldMatrix();
    // Most buttons lie away from the pointer: their hit area's box says so at once.
    if (character() && !areas.box(character()->id).mayCover(world, stageX, stageY))
        return false;
    swf::Matrix toLocal;
    if (!world.invert(toLocal))
        return false;
    const double x = toLocal.mapX(stageX, stageY);
    const double y = toLocal.mapY(stageX, stageY);
    // One walk for all the hit records, so that what they share is seen once.
    if (character())
        return hitTestCharacter(areas, context().hitTests(), character()->id, x, y, nestingLevel());
    for (const swf::ButtonRecord& record : m_definition.records) {
        if ((record.states & swf::ButtonHitTest) &&
            hitTestPlaced(areas, context().hitTests(), record.characterId, record.matrix, x, y,
                          nestingLevel() + 1))
            return true;
    }
    return false;
}

void ButtonObject::show(swf::ButtonState state)
{
    m_shown = state;
    const auto& records = m_definition.records;
    // Leniency: two records of one state at the same depth: the later one shows.
    std::map<int, std::size_t> wanted;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].states & state)
            wanted[records[i].depth] = i;
    }
    for (auto it = m_recordAtDepth.begin(); it != m_recordAtDepth.end();) {
        auto keep = wanted.find(it->first);
        if (keep == wanted.end() || keep->second != it->second) {
            removeChild(it->first);
            it = m_recordAtDepth.erase(it);
        } else {
            ++it;
        }
    }
    for (const auto& [depth, index] : wanted) {
        if (m_recordAtDepth.count(depth))
            continue;
        const swf::ButtonRecord& record = records[index];
        std::shared_ptr<DisplayObject> object = createObject(record.characterId, *this);
        if (!object)
            continue;
        placeChild(depth, object);
        object->setMatrix(record.matrix);
        object->setColorTransform(record.colorTransform);
        object->setBlendMode(record.blendMode);
        if (!record.filters.empty())
            object->setFilters(FilterList(movieInstance().definitionPtr(), &record.filters));
        if (object->isScriptable())
            object->setName(context().newInstanceName());
        m_recordAtDepth[depth] = index;
        announcePlaced(*object);
        object->initialize();
    }
}

void ButtonObject::queueActions(swf::ButtonCondition condition)
{
    ContainerObject* owner = parent();
    if (!owner)
        return;
    for (const swf::ButtonAction& block : m_definition.actions) {
        if (!(block.conditions & condition))
            continue;
        QueuedAction action;
        action.kind = QueuedAction::Kind::Button;
        action.target = owner->shared_from_this();
        action.button = shared_from_this();
        action.code = block.actions;
        action.condition = condition;
        context().actions().push(std::move(action));
    }
    QueuedAction event;
    event.kind = QueuedAction::Kind::ButtonEvent;
    event.target = owner->shared_from_this();
    event.button = shared_from_this();
    event.condition = condition;
    context().actions().push(std::move(event));
}

} // namespace runtime
