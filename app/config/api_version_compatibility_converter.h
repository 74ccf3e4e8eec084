#pragma once

#include <jansson.h>

#include <string>

#include "base/api_version.h"
#include "base/api_version_handler.h"
#include "base/status_exception.h"

// Brings a setConfiguration request written for an older minor version of the
// API up to the current one, so that the stored document is always of the
// current version: members the older client does not know are carried over
// from the stored configuration, and apiVersion becomes the highest supported
// minor of the request's major. Made for one request.
class API_VersionCompatibilityConverter {
  public:
    // The converted request, compact and in insertion order; the empty text on
    // failure, which is logged. status() tells the outcome either way.
    std::string handleOlderAPI_Versions(const std::string& request,
                                        const API_VersionHandler& versions,
                                        const std::string& configurationPath);
    StatusCode_e status() const { return m_status; }

    // The steps of the conversion. Each throws StatusException.

    // The request's apiVersion, which must be a string.
    static API_Version getAPI_VersionOfRequest(const json_t* request);
    // Writes the text of the version as the request's apiVersion.
    static void incrementAPI_VersionOfRequest(json_t* request, const API_Version& version);
    // Below version 1.3: the cameras' overlayResolution and the profiles'
    // alarmOverlayEnabled are taken from the stored document.
    static void handleAlarmOverlayFeatures(json_t* request, const API_Version& version,
                                           const json_t* stored);
    // Below version 1.1: the profiles' presets are taken from the stored
    // document.
    static void handlePresetFeatures(json_t* request, const API_Version& version,
                                     const json_t* stored);
    // Each request camera gets the overlayResolution of the stored camera with
    // its id, or none.
    static void alarmOverlayUpdateCameraQuery(const json_t* storedParams, json_t* requestParams);
    // Each request profile gets the alarmOverlayEnabled of the stored profile
    // with its uid, or none.
    static void alarmOverlayUpdateProfilesQuery(const json_t* storedParams, json_t* requestParams);

  private:
    StatusCode_e m_status = STATUS_OK;
};
