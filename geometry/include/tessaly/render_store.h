#pragma once
// GRenderGraphicStoreInfo: the record a host attaches to a graphic it hands
// to a renderer (render and layer, display-list position, colour, pen
// width, visibility, identifier, luminance frames). The kernel stores the
// values and never interprets them.
//
// The record owns its luminance-frame collection (not the frames in it): a
// copy gets a collection of its own holding the same frames, so every
// collection is deleted exactly once.

#include "tessaly/containers.h"
#include "tessaly/object.h"

class TESSALY_API GRenderGraphicStoreInfo : public GObj {
    TESSALY_POOLED_CLASS(GRenderGraphicStoreInfo)

public:
    // Visible, everything else 0 (no luminance frames).
    GRenderGraphicStoreInfo(int renderId, int layerId);
    GRenderGraphicStoreInfo(const GRenderGraphicStoreInfo& other);
    GRenderGraphicStoreInfo& operator=(const GRenderGraphicStoreInfo& other);
    // Deletes the luminance-frame collection.
    ~GRenderGraphicStoreInfo() override;

    // Copies every field of a GRenderGraphicStoreInfo source (only the GObj
    // part of other objects).
    void Copy(GObj* source) override;
    GObj* Duplicate() override;

    int GetRenderId() const { return m_RenderId; }
    int GetGraphic() const { return m_Graphic; }
    void SetGraphic(int graphic) { m_Graphic = graphic; }
    int GetListPos() const { return m_ListPos; }
    void SetListPos(int position) { m_ListPos = position; }
    int GetColor() const { return m_Color; }
    void SetColor(int color) { m_Color = color; }
    int GetLayerId() const { return m_LayerId; }
    int GetLayerDrawing() const { return m_LayerDrawing; }
    void SetLayerDrawing(int drawing) { m_LayerDrawing = drawing; }
    double GetPenWidth() const { return m_PenWidth; }
    void SetPenWidth(double width) { m_PenWidth = width; }
    long GetGraphicID() const { return m_GraphicId; }
    void SetGraphicID(long id) { m_GraphicId = id; }
    // True only when both the visible and the visible-in-viewport flags are.
    bool GetVisible() const { return m_Visible && m_VisibleInViewport; }
    bool GetVisibleFlag() const { return m_Visible; }
    void SetVisible(bool visible) { m_Visible = visible; }
    bool GetVisibleInViewport() const { return m_VisibleInViewport; }
    void SetVisibleInViewport(bool visible) { m_VisibleInViewport = visible; }

    GArrayCollection* GetLuminanceFrames() const { return m_LuminanceFrames; }
    // Takes ownership of frames (may be null) and deletes the collection
    // held so far; setting the collection already held changes nothing.
    void SetLuminanceFrames(GArrayCollection* frames);

private:
    GRenderGraphicStoreInfo() = default;
    void CopyFields(const GRenderGraphicStoreInfo& other);

    int m_RenderId = 0;
    int m_Graphic = 0;
    int m_ListPos = 0;
    int m_Color = 0;
    int m_LayerId = 0;
    int m_LayerDrawing = 0;
    double m_PenWidth = 0.0;
    GArrayCollection* m_LuminanceFrames = nullptr;
    long m_GraphicId = 0;
    bool m_Visible = true;
    bool m_VisibleInViewport = true;
};
