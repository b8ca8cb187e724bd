<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>corvane::user_text</name>
    <message>
        <source>パソコンの操作時間が長くなっています。休憩しましょう。</source>
        <translation>You have been using the computer for a long time. Please take a break.</translation>
    </message>
    <message>
        <source>心拍測定時間です。心拍を測定して下さい。</source>
        <translation>It is time to measure your heart rate. Please measure it now.</translation>
    </message>
    <message>
        <source>アップロード完了</source>
        <translation>Upload complete</translation>
    </message>
    <message>
        <source>アップロードツールを起動できませんでした: </source>
        <translation>The upload tool could not be started: </translation>
    </message>
    <message>
        <source>アップロードファイルを書き込めませんでした: </source>
        <translation>The upload file could not be written: </translation>
    </message>
    <message>
        <source>アップロードツールがエラーで終了しました: </source>
        <translation>The upload tool ended with an error: </translation>
    </message>
    <message>
        <source>アップロードツールが終わらないため停止しました: </source>
        <translation>The upload tool did not end and was stopped: </translation>
    </message>
    <message>
        <source>デバイスIDが正しくないため、アップロードしませんでした: </source>
        <translation>The device ID is not valid, so nothing was uploaded: </translation>
    </message>
    <message>
        <source>前回のアップロード %1: 成功</source>
        <translation>Last upload %1: succeeded</translation>
    </message>
    <message>
        <source>前回のアップロード %1: 失敗（%2）</source>
        <translation>Last upload %1: failed (%2)</translation>
    </message>
    <message>
        <source>データフォルダーは他のコンピューター（%1）で %2 から開かれています。
このコンピューターで開きますか？
（他のコンピューターで終了していない場合、データが上書きされます）</source>
        <translation>The data folder has been open on another computer (%1) since %2.
Open it on this computer?
(If Corvane has not ended there, the two will overwrite each other&apos;s data.)</translation>
    </message>
    <message>
        <source>親指を緑LEDに置いてください</source>
        <translation>Place your thumb on the green LED</translation>
    </message>
    <message>
        <source>安定するのを待っています
※十数秒かかります。</source>
        <translation>Waiting for the signal to settle
(this takes 10 to 20 seconds).</translation>
    </message>
    <message>
        <source>力を抜き、軽く置いてください。
強く押しすぎると計測できない場合があります。</source>
        <translation>Relax and rest your thumb lightly.
Pressing too hard can stop the measurement.</translation>
    </message>
    <message>
        <source>計測データは完全に正確な数値を保証するものではありません。
参考数値としてご活用ください。</source>
        <translation>The measured values are not guaranteed to be fully accurate.
Please use them for reference only.</translation>
    </message>
    <message>
        <source>心拍測定画面へ</source>
        <translation>Back to measuring</translation>
    </message>
    <message>
        <source>心拍測定データ履歴</source>
        <translation>Heart rate history</translation>
    </message>
    <message>
        <source>心拍測定</source>
        <translation>Heart rate</translation>
    </message>
    <message>
        <source>クリック数・移動距離データ</source>
        <translation>Clicks and travel</translation>
    </message>
    <message>
        <source>データの履歴をみる</source>
        <translation>View history</translation>
    </message>
    <message>
        <source>本日のデータに戻る</source>
        <translation>Back to today</translation>
    </message>
    <message>
        <source>本日のクリック数・移動距離データ</source>
        <translation>Today&apos;s clicks and travel</translation>
    </message>
    <message>
        <source>%d/%d/%dのクリック数・移動距離データ</source>
        <translation>Clicks and travel on %d/%d/%d</translation>
    </message>
    <message>
        <source>%d月のクリック数・移動距離データ</source>
        <translation>Clicks and travel in month %d</translation>
    </message>
    <message>
        <source>&lt; 前月</source>
        <translation>&lt; Previous</translation>
    </message>
    <message>
        <source>次月 &gt;</source>
        <translation>Next &gt;</translation>
    </message>
    <message>
        <source>．総クリック数 －総移動距離</source>
        <translation>. Total clicks - Total travel</translation>
    </message>
    <message>
        <source>左クリックボタン</source>
        <translation>Left button</translation>
    </message>
    <message>
        <source>右クリックボタン</source>
        <translation>Right button</translation>
    </message>
    <message>
        <source>センタ－ボタン</source>
        <translation>Middle button</translation>
    </message>
    <message>
        <source>サイドボタン1</source>
        <translation>Side button 1</translation>
    </message>
    <message>
        <source>サイドボタン2</source>
        <translation>Side button 2</translation>
    </message>
    <message>
        <source>シングルクリック</source>
        <translation>Single
clicks</translation>
    </message>
    <message>
        <source>ダブルクリック</source>
        <translation>Double
clicks</translation>
    </message>
    <message>
        <source>回</source>
        <translation> </translation>
    </message>
    <message>
        <source>総移動距離</source>
        <translation>Total travel</translation>
    </message>
    <message>
        <source>移動距離</source>
        <translation>Travel</translation>
    </message>
    <message>
        <source>アプリケーションを終了しますか？<byte value="xd"/>
（データの取得とアラートを中止します）</source>
        <translation>Quit the application?
(Data collection and alerts will stop.)</translation>
    </message>
    <message>
        <source>データ出力・アップロード
アラート設定</source>
        <translation>Export, upload
and alerts</translation>
    </message>
    <message>
        <source>心拍、マウスデータ出力</source>
        <translation>Export data</translation>
    </message>
    <message>
        <source>データアップロード</source>
        <translation>Upload data</translation>
    </message>
    <message>
        <source>アップロード中</source>
        <translation>Uploading</translation>
    </message>
    <message>
        <source>アラート設定</source>
        <translation>Alert settings</translation>
    </message>
    <message>
        <source>アラート設定画面</source>
        <translation>Alert settings</translation>
    </message>
    <message>
        <source>アラート設定条件</source>
        <translation>Alert conditions</translation>
    </message>
    <message>
        <source>クリック回数で表示</source>
        <translation>Alert on clicks</translation>
    </message>
    <message>
        <source>左クリック</source>
        <translation>Left click</translation>
    </message>
    <message>
        <source>右クリック</source>
        <translation>Right click</translation>
    </message>
    <message>
        <source>合計クリック数</source>
        <translation>Total clicks</translation>
    </message>
    <message>
        <source>が</source>
        <translation>in</translation>
    </message>
    <message>
        <source>時間以内に</source>
        <translation>h, over</translation>
    </message>
    <message>
        <source>回を超えたとき</source>
        <translation>times</translation>
    </message>
    <message>
        <source>カーソル移動距離</source>
        <translation>Cursor travel</translation>
    </message>
    <message>
        <source>m(メートル)を超えたとき</source>
        <translation>metres</translation>
    </message>
    <message>
        <source>心拍を測定値</source>
        <translation>Measured heart rate</translation>
    </message>
    <message>
        <source>計測時に</source>
        <translation>when measured, over</translation>
    </message>
    <message>
        <source>bpmを超えたとき</source>
        <translation>bpm</translation>
    </message>
    <message>
        <source>アラート内容</source>
        <translation>Alert text</translation>
    </message>
    <message>
        <source>その他</source>
        <translation>Other</translation>
    </message>
    <message>
        <source>測定タイミングをアラートで表示する</source>
        <translation>Remind me to measure</translation>
    </message>
    <message>
        <source>毎時</source>
        <translation>Every hour</translation>
    </message>
    <message>
        <source>時(24時間表示)</source>
        <translation>o&apos;clock (24-hour)</translation>
    </message>
    <message>
        <source>%1時</source>
        <translation>%1:00</translation>
    </message>
    <message>
        <source>毎日</source>
        <translation>Every day</translation>
    </message>
    <message>
        <source>適用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>メインメニュー</source>
        <translation>Main menu</translation>
    </message>
    <message>
        <source>時</source>
        <translation>h</translation>
    </message>
    <message>
        <source>日</source>
        <translation> </translation>
    </message>
    <message>
        <source>・</source>
        <translation>, </translation>
    </message>
    <message>
        <source>—</source>
        <translation>—</translation>
    </message>
    <message>
        <source>Open Application</source>
        <translation>Open Application</translation>
    </message>
    <message>
        <source>Start at Login</source>
        <translation>Start at Login</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>小さくする</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>削除</source>
        <translation>Delete</translation>
    </message>
</context>
<context>
    <name>corvane::user_text::weekday</name>
    <message>
        <source>日</source>
        <translation>Sun</translation>
    </message>
    <message>
        <source>月</source>
        <translation>Mon</translation>
    </message>
    <message>
        <source>火</source>
        <translation>Tue</translation>
    </message>
    <message>
        <source>水</source>
        <translation>Wed</translation>
    </message>
    <message>
        <source>木</source>
        <translation>Thu</translation>
    </message>
    <message>
        <source>金</source>
        <translation>Fri</translation>
    </message>
    <message>
        <source>土</source>
        <translation>Sat</translation>
    </message>
</context>
</TS>
