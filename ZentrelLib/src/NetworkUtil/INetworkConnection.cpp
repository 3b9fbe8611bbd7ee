#include "INetworkConnection.h"

void INetworkConnection::OnHttpRequestCompleted(IHttpRequestDataPtr request) {
    if (mNetworkConnectionEventListener) {
        mNetworkConnectionEventListener->OnHttpRequestCompleted(request);
    }
}

void INetworkConnection::OnHttpRequestFailed(IHttpRequestDataPtr request) {
    if (mNetworkConnectionEventListener) {
        mNetworkConnectionEventListener->OnHttpRequestFailed(request);
    }
}

void INetworkConnection::OnHttpRequstCancelCompleted(IHttpRequestDataPtr request) {
    if (mNetworkConnectionEventListener) {
        mNetworkConnectionEventListener->OnHttpRequestCancelCompleted(request);
    }
}

void INetworkConnection::OnHttpResponseCompleted(IHttpRequestDataPtr request,
                                                 IHttpResponseDataPtr response) {
    if (mNetworkConnectionEventListener) {
        mNetworkConnectionEventListener->OnHttpResponseCompleted(request, response);
    }
}

void INetworkConnection::OnHttpResponseFailed(IHttpRequestDataPtr request) {
    if (mNetworkConnectionEventListener) {
        mNetworkConnectionEventListener->OnHttpResponseFailed(request);
    }
}
