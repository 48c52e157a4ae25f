#include "markeroverlay.h"

#include <vtkAlgorithm.h>
#include <vtkNew.h>
#include <vtkOutlineSource.h>
#include <vtkPolyDataMapper.h>
#include <vtkProperty.h>
#include <vtkRenderWindow.h>
#include <vtkTimerLog.h>

#include <vector>

namespace {

// The outline is built around the origin and the actor stands at the centre: moving a box is
// then a new position, and resizing it new bounds, never a scale against the size it had.
void setOutlineBounds(vtkOutlineSource *outline, const double size[3])
{
    outline->SetBounds(-size[0] / 2, size[0] / 2, -size[1] / 2, size[1] / 2, -size[2] / 2, size[2] / 2);
}

vtkOutlineSource *outlineOf(vtkActor *actor)
{
    if (actor == nullptr || actor->GetMapper() == nullptr)
        return nullptr;
    return vtkOutlineSource::SafeDownCast(actor->GetMapper()->GetInputAlgorithm());
}

} // namespace

MarkerOverlay::MarkerOverlay(vtkRenderer *renderer) : renderer_(renderer), clock_(&MarkerOverlay::universalMillis) {}

uint64_t MarkerOverlay::universalMillis()
{
    return uint64_t(vtkTimerLog::GetUniversalTime() * 1000.0);
}

void MarkerOverlay::setClock(Clock clock)
{
    clock_ = clock ? std::move(clock) : Clock(&MarkerOverlay::universalMillis);
}

int MarkerOverlay::add(int id, int kind, const std::string &text, const double center[3], const double size[3],
                       const double color[3], double lineWidth, int fontSize, bool visible, bool expires,
                       float lifetime)
{
    MarkerItem item;
    item.id = id;
    item.kind = kind;
    item.text = text;
    for (int i = 0; i < 3; ++i) {
        item.center[i] = center[i];
        item.size[i] = size[i];
        item.color[i] = color[i];
    }
    item.lineWidth = float(lineWidth);
    item.fontSize = fontSize;
    item.visible = visible;
    item.expires = expires;
    item.lifetime = lifetime;
    item.lastUpdate = clock_();
    createBox(item);
    // An item overwritten here would otherwise leave its box in the scene for good.
    const auto old = items_.find(id);
    if (old != items_.end())
        removeActors(old->second);
    items_[id] = item;
    return id;
}

void MarkerOverlay::createBox(MarkerItem &item)
{
    if (item.kind != 0)
        return;
    vtkNew<vtkOutlineSource> outline;
    setOutlineBounds(outline, item.size);
    vtkNew<vtkPolyDataMapper> mapper;
    mapper->SetInputConnection(outline->GetOutputPort(0));
    auto actor = vtkSmartPointer<vtkActor>::New();
    actor->SetMapper(mapper);
    actor->SetPosition(item.center);
    actor->GetProperty()->SetColor(item.color);
    actor->GetProperty()->SetLineWidth(item.lineWidth);
    if (renderer_ != nullptr)
        renderer_->AddActor(actor);
    item.boxActor = actor;
}

MarkerItem MarkerOverlay::find(int id) const
{
    const auto it = items_.find(id);
    return it == items_.end() ? MarkerItem() : it->second;
}

void MarkerOverlay::removeActors(const MarkerItem &item)
{
    if (renderer_ == nullptr)
        return;
    if (item.boxActor != nullptr)
        renderer_->RemoveActor(item.boxActor);
    if (item.labelActor != nullptr)
        renderer_->RemoveActor(item.labelActor);
    if (item.textActor != nullptr)
        renderer_->RemoveActor2D(item.textActor);
}

bool MarkerOverlay::remove(int id)
{
    const auto it = items_.find(id);
    if (it == items_.end())
        return false;
    removeActors(it->second);
    items_.erase(it);
    return true;
}

void MarkerOverlay::clear()
{
    for (const auto &entry : items_)
        removeActors(entry.second);
    items_.clear();
}

void MarkerOverlay::purgeExpired()
{
    const uint64_t now = clock_();
    std::vector<int> expired;
    for (const auto &entry : items_) {
        const MarkerItem &item = entry.second;
        const uint64_t keep = uint64_t(item.lifetime * 1000.0f);
        // An item stamped after `now` (a clock step back) is not old.
        if (item.expires && now >= keep && item.lastUpdate < now - keep)
            expired.push_back(entry.first);
    }
    for (int id : expired)
        remove(id);
}

void MarkerOverlay::render()
{
    if (renderer_ != nullptr && renderer_->GetRenderWindow() != nullptr)
        renderer_->GetRenderWindow()->Render();
}

void MarkerOverlay::updatePose(int id, const double center[3], const double size[3])
{
    const auto it = items_.find(id);
    if (it == items_.end())
        return;
    MarkerItem &item = it->second;
    if (item.kind == 0 && item.boxActor != nullptr) {
        item.boxActor->SetPosition(center[0], center[1], center[2]);
        if (vtkOutlineSource *outline = outlineOf(item.boxActor))
            setOutlineBounds(outline, size);
    }
    for (int i = 0; i < 3; ++i) {
        item.center[i] = center[i];
        item.size[i] = size[i];
    }
    item.lastUpdate = clock_();
}
