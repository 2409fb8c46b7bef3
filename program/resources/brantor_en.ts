<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>CloseAppDialogClass</name>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Exit Software Only</source>
        <translation>Exit Software Only</translation>
    </message>
    <message>
        <source>Power Off Receiver</source>
        <translation>Power Off Receiver</translation>
    </message>
    <message>
        <source>Activate Pass-Through</source>
        <translation>Activate Pass-Through</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>Connect</name>
    <message>
        <source>Connection</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>setting</source>
        <translation>setting</translation>
    </message>
    <message>
        <source>Manufacture:</source>
        <translation>Manufacture:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>Baud:</source>
        <translation>Baud:</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>DeviceType:</source>
        <translation>DeviceType:</translation>
    </message>
    <message>
        <source>Search Device</source>
        <translation>Search Device</translation>
    </message>
    <message>
        <source>Stop Searching</source>
        <translation>Stop Searching</translation>
    </message>
    <message>
        <source>Stopping Searching...</source>
        <translation>Stopping Searching...</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Break</source>
        <translation>Break</translation>
    </message>
    <message>
        <source>KVX</source>
        <translation>KVX</translation>
    </message>
    <message>
        <source>Quarel</source>
        <translation>Quarel</translation>
    </message>
    <message>
        <source>%1 b/s</source>
        <translation>%1 b/s</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>Disconnect Device</source>
        <translation>Disconnect Device</translation>
    </message>
    <message>
        <source>Before you connect to a device, the currently connected device must be disconnected.
Continue?</source>
        <translation>Before you connect to a device, the currently connected device must be disconnected.
Continue?</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Successfully connected</source>
        <translation>Successfully connected</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to close port</source>
        <translation>Failed to close port</translation>
    </message>
    <message>
        <source>Connection Failed!</source>
        <translation>Connection Failed!</translation>
    </message>
    <message>
        <source>Failed to disconnect previous connection.</source>
        <translation>Failed to disconnect previous connection.</translation>
    </message>
    <message>
        <source>No matched port.</source>
        <translation>No matched port.</translation>
    </message>
    <message>
        <source>Port is in use.</source>
        <translation>Port is in use.</translation>
    </message>
    <message>
        <source>No Device Selected.</source>
        <translation>No Device Selected.</translation>
    </message>
    <message>
        <source>Error Code: </source>
        <translation>Error Code: </translation>
    </message>
    <message>
        <source>Failed to bind device!</source>
        <translation>Failed to bind device!</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirm</translation>
    </message>
</context>
<context>
    <name>ConnectingProgress</name>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Brantor</source>
        <translation>Brantor</translation>
    </message>
    <message>
        <source>Closing Current Connection</source>
        <translation>Closing Current Connection</translation>
    </message>
    <message>
        <source>Current Connection Closed</source>
        <translation>Current Connection Closed</translation>
    </message>
    <message>
        <source>Opening Port</source>
        <translation>Opening Port</translation>
    </message>
    <message>
        <source>Opening Port Succeeded</source>
        <translation>Opening Port Succeeded</translation>
    </message>
    <message>
        <source>Initializing</source>
        <translation>Initializing</translation>
    </message>
    <message>
        <source>Initialized</source>
        <translation>Initialized</translation>
    </message>
</context>
<context>
    <name>FatherWidget</name>
    <message>
        <source>Brantor</source>
        <translation>Brantor</translation>
    </message>
    <message>
        <source>TextLabel</source>
        <translation>TextLabel</translation>
    </message>
</context>
<context>
    <name>Info</name>
    <message>
        <source>Device Info.</source>
        <translation>Device Info.</translation>
    </message>
    <message>
        <source>Model:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>Serial Number:</source>
        <translation>Serial Number:</translation>
    </message>
    <message>
        <source>Part Number:</source>
        <translation>Part Number:</translation>
    </message>
    <message>
        <source>Production Date:</source>
        <translation>Production Date:</translation>
    </message>
    <message>
        <source>F.W. Version:</source>
        <translation>F.W. Version:</translation>
    </message>
    <message>
        <source>GPRS Version:</source>
        <translation>GPRS Version:</translation>
    </message>
    <message>
        <source>Battery Power:</source>
        <translation>Battery Power:</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Get</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Failed to get parameters!</source>
        <translation>Failed to get parameters!</translation>
    </message>
</context>
<context>
    <name>MenuManager</name>
    <message>
        <source>Connection</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Device Info.</source>
        <translation>Device Info.</translation>
    </message>
    <message>
        <source>Internal Recording</source>
        <translation>Internal Recording</translation>
    </message>
    <message>
        <source>RTK</source>
        <translation>RTK</translation>
    </message>
    <message>
        <source>GPRS And Internal UHF</source>
        <translation>GPRS And Internal UHF</translation>
    </message>
    <message>
        <source>APN Settings</source>
        <translation>APN Settings</translation>
    </message>
    <message>
        <source>NMEA Output</source>
        <translation>NMEA Output</translation>
    </message>
    <message>
        <source>Radio Channel</source>
        <translation>Radio Channel</translation>
    </message>
    <message>
        <source>Server Settings</source>
        <translation>Server Settings</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
</context>
<context>
    <name>Translate</name>
    <message>
        <source>ZELT</source>
        <translation>ZELT</translation>
    </message>
    <message>
        <source>Ntrip Client</source>
        <translation>Ntrip Client</translation>
    </message>
    <message>
        <source>ZELT One To Multi</source>
        <translation>ZELT One To Multi</translation>
    </message>
    <message>
        <source>TCP Direct</source>
        <translation>TCP Direct</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Null</source>
        <translation>Null</translation>
    </message>
    <message>
        <source>0.1w</source>
        <translation>0.1w</translation>
    </message>
    <message>
        <source>0.5w</source>
        <translation>0.5w</translation>
    </message>
    <message>
        <source>1w</source>
        <translation>1w</translation>
    </message>
    <message>
        <source>2w</source>
        <translation>2w</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>KVX BT</source>
        <translation>KVX BT</translation>
    </message>
    <message>
        <source>Sys. BT</source>
        <translation>Sys. BT</translation>
    </message>
    <message>
        <source>Q48 Series</source>
        <translation>Q48 Series</translation>
    </message>
    <message>
        <source>Q22 Series</source>
        <translation>Q22 Series</translation>
    </message>
    <message>
        <source>GNSS RTK Series</source>
        <translation>GNSS RTK Series</translation>
    </message>
</context>
</TS>
