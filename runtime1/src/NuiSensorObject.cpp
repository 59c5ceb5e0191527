#include "NuiSensorObject.h"

#include "CallJournal.h"
#include "DeviceRegistry.h"
#include "NotOffered.h"
#include "SensorDevice.h"
#include "sources/CameraModel.h"

#include <atomic>

namespace plexa::virtual1 {

namespace {

class NuiSensorObject final : public NotOffered<INuiSensor> {
public:
    explicit NuiSensorObject(std::shared_ptr<SensorDevice> device) : device_(std::move(device)) {}
    NuiSensorObject(const NuiSensorObject&) = delete;
    NuiSensorObject& operator=(const NuiSensorObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_INuiSensor) {
            *object = static_cast<INuiSensor*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT NuiInitialize(DWORD flags) override {
        return journal().call(Operation::Initialize, index(), {flags}, [&] { return device_->initialize(flags); });
    }

    void NuiShutdown() override {
        journal().call(Operation::Shutdown, index(), {}, [&] {
            device_->shutdown();
            return S_OK;
        });
    }

    HRESULT NuiImageStreamOpen(NUI_IMAGE_TYPE imageType, NUI_IMAGE_RESOLUTION resolution, DWORD frameFlags,
                               DWORD frameLimit, HANDLE nextFrameEvent, HANDLE* stream) override {
        return journal().call(
            Operation::ImageStreamOpen, index(),
            {imageType, resolution, frameFlags, frameLimit, asInteger(nextFrameEvent), asInteger(stream)}, [&] {
                return device_->openImageStream(
                    ImageStreamSettings{imageType, resolution, frameFlags, frameLimit, nextFrameEvent}, stream);
            });
    }

    HRESULT NuiImageStreamSetImageFrameFlags(HANDLE stream, DWORD frameFlags) override {
        return journal().call(Operation::ImageStreamSetImageFrameFlags, index(), {asInteger(stream), frameFlags},
                              [&] { return device_->setImageFrameFlags(stream, frameFlags); });
    }

    HRESULT NuiImageStreamGetImageFrameFlags(HANDLE stream, DWORD* frameFlags) override {
        return journal().call(Operation::ImageStreamGetImageFrameFlags, index(),
                              {asInteger(stream), asInteger(frameFlags)},
                              [&] { return device_->getImageFrameFlags(stream, frameFlags); });
    }

    HRESULT NuiImageStreamGetNextFrame(HANDLE stream, DWORD millisecondsToWait, NUI_IMAGE_FRAME* frame) override {
        return journal().call(Operation::ImageStreamGetNextFrame, index(),
                              {asInteger(stream), millisecondsToWait, asInteger(frame)},
                              [&] { return device_->getNextImageFrame(stream, millisecondsToWait, frame); });
    }

    HRESULT NuiImageStreamReleaseFrame(HANDLE stream, NUI_IMAGE_FRAME* frame) override {
        return journal().call(Operation::ImageStreamReleaseFrame, index(), {asInteger(stream), asInteger(frame)},
                              [&] { return device_->releaseImageFrame(stream, frame); });
    }

    HRESULT NuiImageGetColorPixelCoordinateFrameFromDepthPixelFrameAtResolution(
        NUI_IMAGE_RESOLUTION colorResolution, NUI_IMAGE_RESOLUTION depthResolution, DWORD depthValueCount,
        USHORT* depthValues, DWORD colorCoordinateCount, LONG* colorCoordinates) override {
        return journal().call(
            Operation::GetColorPixelCoordinates, index(),
            {colorResolution, depthResolution, depthValueCount, asInteger(depthValues), colorCoordinateCount,
             asInteger(colorCoordinates)},
            [&]() -> HRESULT {
                if (depthValues == nullptr || colorCoordinates == nullptr) return E_POINTER;
                if (!isKnownResolution(colorResolution) || !isKnownResolution(depthResolution)) {
                    return E_INVALIDARG;
                }
                // The counts must describe exactly the depth image, so that
                // nothing is read or written past either buffer.
                const ImageSize depthSize = imageSizeOf(depthResolution);
                if (depthValueCount != depthSize.pixelCount() || colorCoordinateCount != 2 * depthSize.pixelCount()) {
                    return E_INVALIDARG;
                }
                if (!device_->source().mapDepthToColor(depthResolution, colorResolution, depthValues,
                                                       colorCoordinates)) {
                    mapDepthToColor(depthResolution, colorResolution, depthValues, colorCoordinates);
                }
                return S_OK;
            });
    }

    HRESULT NuiCameraElevationSetAngle(LONG degrees) override {
        return journal().call(Operation::CameraElevationSetAngle, index(), {degrees}, [&]() -> HRESULT {
            if (degrees < NUI_CAMERA_ELEVATION_MINIMUM || degrees > NUI_CAMERA_ELEVATION_MAXIMUM) return E_INVALIDARG;
            return device_->source().setElevation(degrees);
        });
    }

    HRESULT NuiCameraElevationGetAngle(LONG* degrees) override {
        return journal().call(Operation::CameraElevationGetAngle, index(), {asInteger(degrees)}, [&]() -> HRESULT {
            return degrees == nullptr ? E_POINTER : device_->source().elevation(*degrees);
        });
    }

    HRESULT NuiSkeletonTrackingEnable(HANDLE nextFrameEvent, DWORD flags) override {
        return journal().call(Operation::SkeletonTrackingEnable, index(), {asInteger(nextFrameEvent), flags},
                              [&] { return device_->enableSkeletonTracking(nextFrameEvent, flags); });
    }

    HRESULT NuiSkeletonTrackingDisable() override {
        return journal().call(Operation::SkeletonTrackingDisable, index(), {},
                              [&] { return device_->disableSkeletonTracking(); });
    }

    HRESULT NuiSkeletonGetNextFrame(DWORD millisecondsToWait, NUI_SKELETON_FRAME* frame) override {
        return journal().call(Operation::SkeletonGetNextFrame, index(), {millisecondsToWait, asInteger(frame)},
                              [&] { return device_->getNextSkeletonFrame(millisecondsToWait, frame); });
    }

    HRESULT NuiTransformSmooth(NUI_SKELETON_FRAME* frame, const NUI_TRANSFORM_SMOOTH_PARAMETERS* parameters) override {
        return journal().call(Operation::TransformSmooth, index(), {asInteger(frame), asInteger(parameters)},
                              [&] { return device_->transformSmooth(frame, parameters); });
    }

    HRESULT NuiStatus() override {
        return journal().call(Operation::Status, index(), {}, [&] { return device_->source().status(); });
    }

    int NuiInstanceIndex() override { return index(); }

    DWORD NuiInitializationFlags() override { return device_->initializationFlags(); }

    HRESULT NuiAccelerometerGetCurrentReading(Vector4* reading) override {
        return journal().call(
            Operation::AccelerometerGetCurrentReading, index(), {asInteger(reading)},
            [&]() -> HRESULT { return reading == nullptr ? E_POINTER : device_->accelerometer(*reading); });
    }

private:
    // Like a sensor object whose last holder lets go: whatever it had open ends.
    ~NuiSensorObject() { device_->shutdown(); }

    int index() const { return device_->index(); }

    std::shared_ptr<SensorDevice> device_;
    std::atomic<ULONG> references_{1};
};

}  // namespace

INuiSensor* createSensorObject(int index, std::shared_ptr<SensorSource> source) {
    auto device = std::make_shared<SensorDevice>(index, std::move(source));
    registerDevice(index, device);
    // The object owns itself from here: its last Release deletes it.
    return new NuiSensorObject(std::move(device));
}

}  // namespace plexa::virtual1
