#pragma once

// What the main container and the pages hear from the host. The "requested" operations ask
// before a change (false vetoes it); the others tell after it. Every operation has a default, so
// a listener overrides only what it needs.
class CTarnHostListener {
public:
    virtual ~CTarnHostListener() = default;

    virtual bool OnTarnHostPageChangeRequested(int /*page*/) { return true; }
    virtual void OnTarnHostPageChanged(int /*page*/) {}
    virtual void OnTarnHostReserved() {}
    // Broadcast by the audio engine: a one-shot preview played to its end, a loop wrapped.
    virtual void OnTarnHostPreviewEnded() {}
    virtual void OnTarnHostPreviewLooped() {}
    virtual bool OnTarnHostGlobalTabChangeRequested(int /*tab*/) { return true; }
    virtual void OnTarnHostGlobalTabChanged(int /*tab*/) {}
    virtual bool OnTarnHostExtCtrlLayerChangeRequested(int /*kind*/) { return true; }
    virtual void OnTarnHostExtCtrlLayerChanged(int /*kind*/) {}
    virtual void OnTarnHostCut() {}
    virtual void OnTarnHostCopy() {}
    virtual void OnTarnHostPaste() {}
    virtual void OnTarnHostClear() {}
    // The page this listener stands for (0 to 2), -1 for none.
    virtual int GetTarnHostPageNumber() const { return -1; }
};
