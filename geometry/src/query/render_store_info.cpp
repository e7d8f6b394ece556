// The render-store record and its ownership of the luminance frames.
#include "tessaly/render_store.h"

TESSALY_DEFINE_POOLED_CLASS(GRenderGraphicStoreInfo, "GRenderGraphicStoreInfo", 8192)

namespace {
// A collection of its own holding the same frames; null for null.
GArrayCollection* CopyOfFrames(const GArrayCollection* frames)
{
    if (!frames)
        return nullptr;
    auto* copy = new GArrayCollection;
    for (int k = 0; k < frames->count(); ++k)
        copy->add(frames->get(k));
    return copy;
}
} // namespace

GRenderGraphicStoreInfo::GRenderGraphicStoreInfo(int renderId, int layerId) : m_RenderId(renderId), m_LayerId(layerId)
{
}

GRenderGraphicStoreInfo::GRenderGraphicStoreInfo(const GRenderGraphicStoreInfo& other) : GObj(other)
{
    CopyFields(other);
}

GRenderGraphicStoreInfo& GRenderGraphicStoreInfo::operator=(const GRenderGraphicStoreInfo& other)
{
    if (this == &other)
        return *this;
    GObj::operator=(other);
    CopyFields(other);
    return *this;
}

GRenderGraphicStoreInfo::~GRenderGraphicStoreInfo()
{
    delete m_LuminanceFrames;
}

void GRenderGraphicStoreInfo::CopyFields(const GRenderGraphicStoreInfo& other)
{
    m_RenderId = other.m_RenderId;
    m_Graphic = other.m_Graphic;
    m_ListPos = other.m_ListPos;
    m_Color = other.m_Color;
    m_LayerId = other.m_LayerId;
    m_LayerDrawing = other.m_LayerDrawing;
    m_PenWidth = other.m_PenWidth;
    SetLuminanceFrames(CopyOfFrames(other.m_LuminanceFrames));
    m_GraphicId = other.m_GraphicId;
    m_Visible = other.m_Visible;
    m_VisibleInViewport = other.m_VisibleInViewport;
}

void GRenderGraphicStoreInfo::Copy(GObj* source)
{
    GObj::Copy(source);
    auto* other = dynamic_cast<GRenderGraphicStoreInfo*>(source);
    if (other && other != this)
        CopyFields(*other);
}

GObj* GRenderGraphicStoreInfo::Duplicate()
{
    return new GRenderGraphicStoreInfo(*this);
}

void GRenderGraphicStoreInfo::SetLuminanceFrames(GArrayCollection* frames)
{
    if (frames == m_LuminanceFrames)
        return;
    delete m_LuminanceFrames;
    m_LuminanceFrames = frames;
}
