// Readable names of the runtime operations, for test messages and logs.
#include "runtime2/VirtualSensor2.h"

namespace plexa::virtual2 {

const char* operationName(Operation operation) {
    switch (operation) {
        case Operation::GetDefaultKinectSensor: return "GetDefaultKinectSensor";
        case Operation::SensorGetCoordinateMapper: return "IKinectSensor::get_CoordinateMapper";
        case Operation::SensorOpen: return "IKinectSensor::Open";
        case Operation::SensorClose: return "IKinectSensor::Close";
        case Operation::SensorOpenMultiSourceFrameReader: return "IKinectSensor::OpenMultiSourceFrameReader";
        case Operation::ReaderSubscribeMultiSourceFrameArrived:
            return "IMultiSourceFrameReader::SubscribeMultiSourceFrameArrived";
        case Operation::ReaderUnsubscribeMultiSourceFrameArrived:
            return "IMultiSourceFrameReader::UnsubscribeMultiSourceFrameArrived";
        case Operation::ReaderAcquireLatestFrame: return "IMultiSourceFrameReader::AcquireLatestFrame";
        case Operation::MultiSourceGetColorFrameReference: return "IMultiSourceFrame::get_ColorFrameReference";
        case Operation::MultiSourceGetDepthFrameReference: return "IMultiSourceFrame::get_DepthFrameReference";
        case Operation::MultiSourceGetBodyFrameReference: return "IMultiSourceFrame::get_BodyFrameReference";
        case Operation::MultiSourceGetBodyIndexFrameReference:
            return "IMultiSourceFrame::get_BodyIndexFrameReference";
        case Operation::MultiSourceGetInfraredFrameReference: return "IMultiSourceFrame::get_InfraredFrameReference";
        case Operation::MultiSourceGetLongExposureInfraredFrameReference:
            return "IMultiSourceFrame::get_LongExposureInfraredFrameReference";
        case Operation::ColorReferenceAcquireFrame: return "IColorFrameReference::AcquireFrame";
        case Operation::DepthReferenceAcquireFrame: return "IDepthFrameReference::AcquireFrame";
        case Operation::BodyReferenceAcquireFrame: return "IBodyFrameReference::AcquireFrame";
        case Operation::BodyIndexReferenceAcquireFrame: return "IBodyIndexFrameReference::AcquireFrame";
        case Operation::InfraredReferenceAcquireFrame: return "IInfraredFrameReference::AcquireFrame";
        case Operation::LongExposureInfraredReferenceAcquireFrame:
            return "ILongExposureInfraredFrameReference::AcquireFrame";
        case Operation::FrameGetFrameDescription: return "frame get_FrameDescription";
        case Operation::FrameGetRelativeTime: return "frame get_RelativeTime";
        case Operation::FrameAccessUnderlyingBuffer: return "frame AccessUnderlyingBuffer";
        case Operation::ColorGetRawColorImageFormat: return "IColorFrame::get_RawColorImageFormat";
        case Operation::ColorAccessRawUnderlyingBuffer: return "IColorFrame::AccessRawUnderlyingBuffer";
        case Operation::ColorCopyConvertedFrameDataToArray: return "IColorFrame::CopyConvertedFrameDataToArray";
        case Operation::DescriptionGetWidth: return "IFrameDescription::get_Width";
        case Operation::DescriptionGetHeight: return "IFrameDescription::get_Height";
        case Operation::DescriptionGetHorizontalFieldOfView: return "IFrameDescription::get_HorizontalFieldOfView";
        case Operation::DescriptionGetVerticalFieldOfView: return "IFrameDescription::get_VerticalFieldOfView";
        case Operation::DescriptionGetDiagonalFieldOfView: return "IFrameDescription::get_DiagonalFieldOfView";
        case Operation::DescriptionGetLengthInPixels: return "IFrameDescription::get_LengthInPixels";
        case Operation::DescriptionGetBytesPerPixel: return "IFrameDescription::get_BytesPerPixel";
        case Operation::BodyFrameGetRelativeTime: return "IBodyFrame::get_RelativeTime";
        case Operation::BodyFrameGetAndRefreshBodyData: return "IBodyFrame::GetAndRefreshBodyData";
        case Operation::BodyFrameGetFloorClipPlane: return "IBodyFrame::get_FloorClipPlane";
        case Operation::BodyGetIsTracked: return "IBody::get_IsTracked";
        case Operation::BodyGetJoints: return "IBody::GetJoints";
        case Operation::BodyGetJointOrientations: return "IBody::GetJointOrientations";
        case Operation::MapperMapDepthFrameToColorSpace: return "ICoordinateMapper::MapDepthFrameToColorSpace";
        case Operation::MapperMapDepthFrameToCameraSpace: return "ICoordinateMapper::MapDepthFrameToCameraSpace";
        case Operation::MapperGetDepthCameraIntrinsics: return "ICoordinateMapper::GetDepthCameraIntrinsics";
    }
    return "unknown operation";
}

}  // namespace plexa::virtual2
